// A small INI-style settings file: "[section]" lines, then "key = value"
// entries; ';' starts a comment. Read either one lookup at a time straight from
// the file, or loaded whole and, when changed, written back at destruction.
// Sections and keys compare without regard to case.
#ifndef FBXFILESDK_CORE_KSETTINGSFILE_H
#define FBXFILESDK_CORE_KSETTINGSFILE_H

#include <fbxfilesdk/core/KString.h>

#include <map>
#include <string>

namespace fbxsdk_2006_11_1 {

class KSettingsFile {
public:
    // Lines longer than this (their line end included) are not read.
    static constexpr int kMaxLineLength = 4095;

    // The file is "<folder>/<name>"; a name that begins with '@' is kept per
    // machine as "<folder>/<machine>.<name without '@'>" ("?" for a machine
    // whose name cannot be read). With load set, the whole file is read now.
    KSettingsFile(const char* name, bool load);
    // A loaded file that was changed is saved first.
    ~KSettingsFile();
    KSettingsFile(const KSettingsFile&) = delete;
    KSettingsFile& operator=(const KSettingsFile&) = delete;

    // The value of key in section, else defaultValue (which may be null). Read
    // straight from the file, section and key match when they begin with the
    // asked names; in a loaded file they must be equal. The text stays valid
    // until the next call on this object.
    const char* GetValue(const char* section, const char* key, const char* defaultValue);

    // Loaded files only: sets the value, creating the section, to be saved at
    // destruction. False, changing nothing, for a file that was not loaded and
    // for text that would not read back the same (empty names, line ends, ';',
    // brackets in keys or values, ']' in section names, '=' in keys, lines over
    // the limit).
    bool SetValue(const char* section, const char* key, const char* value);

    const KString& GetPath() const;
    const KString& GetBackupPath() const;

    // The folder of every settings file; null or "" restores the default, the
    // working folder ".".
    static void SetSettingsFolder(const char* folder);
    static KString GetSettingsFolder();

private:
    struct NoCaseLess {
        bool operator()(const std::string& left, const std::string& right) const;
    };
    using Section = std::map<std::string, std::string, NoCaseLess>;

    void Load();
    // Writes the backup file, then moves it over the file in one step, so the
    // previous file stays whole until the new one is complete.
    bool Save();
    const char* FindInTables(const char* section, const char* key, const char* defaultValue) const;
    const char* FindInFile(const char* section, const char* key, const char* defaultValue);
    void FreeSections();

    KString mPath;
    KString mBackupPath;
    std::string mValue;
    bool mLoaded = false;
    std::map<std::string, Section, NoCaseLess> mSections;
    bool mChanged = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
