#include <fbxfilesdk/core/KSettingsFile.h>

#include <fbxfilesdk/core/KFbxSystemUtils.h>
#include <fbxfilesdk/core/KFile.h>
#include <platform/os/File.h>

#include <cstdint>
#include <string>
#include <string_view>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr std::string_view::size_type npos = std::string_view::npos;

KString& SettingsFolder() {
    static KString folder;
    return folder;
}

unsigned char Lower(char c) {
    const auto u = static_cast<unsigned char>(c);
    return u >= 'A' && u <= 'Z' ? static_cast<unsigned char>(u - 'A' + 'a') : u;
}

// text begins with prefix, ignoring case.
bool BeginsWithNoCase(std::string_view text, std::string_view prefix) {
    if (text.size() < prefix.size()) return false;
    for (std::size_t i = 0; i < prefix.size(); ++i) {
        if (Lower(text[i]) != Lower(prefix[i])) return false;
    }
    return true;
}

bool IsBlank(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view TrimEnd(std::string_view text) {
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

// Drops leading blanks and '=' signs, and trailing blanks.
std::string_view TrimEntryPart(std::string_view text) {
    while (!text.empty() && (IsBlank(text.front()) || text.front() == '=')) text.remove_prefix(1);
    return TrimEnd(text);
}

// Reads the lines of a settings file, whatever their line ends. A line over the
// limit is skipped whole, so that its pieces never pass for lines of their own.
class SettingsLineReader {
public:
    explicit SettingsLineReader(KFile& file) : mFile(file) {}

    // The next line that fits, without its line end; false at the end. A
    // line holding a NUL byte is damaged and skipped, alone.
    bool Next(std::string_view& line) {
        for (;;) {
            std::string_view text;
            if (!ReadPiece(text)) return false;
            const bool damaged = text.find('\0') != npos;
            if (EndsLine(text)) {
                if (damaged) continue;
                line = StripLineEnd(text);
                return true;
            }
            if (mFile.Eof()) {  // the last line, without a line end
                if (damaged) continue;
                line = text;
                return true;
            }
            SkipRestOfLine();
        }
    }

private:
    static bool EndsLine(std::string_view text) {
        return !text.empty() && (text.back() == '\n' || text.back() == '\r');
    }

    static std::string_view StripLineEnd(std::string_view text) {
        while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
        return text;
    }

    // The bytes the next read took, NUL bytes included: the stream position
    // tells how many there were, where the text itself would stop at the
    // first NUL and take the line end of the next line for its own.
    bool ReadPiece(std::string_view& text) {
        const std::int64_t before = mFile.Tell();
        if (!mFile.ReadString(mBuffer, sizeof mBuffer)) return false;
        const std::int64_t after = mFile.Tell();
        std::size_t length = std::char_traits<char>::length(mBuffer);
        if (before >= 0 && after > before && static_cast<std::size_t>(after - before) <= kMaxPiece) {
            length = static_cast<std::size_t>(after - before);
        }
        text = std::string_view(mBuffer, length);
        return true;
    }

    void SkipRestOfLine() {
        std::string_view text;
        while (ReadPiece(text)) {
            if (EndsLine(text)) return;
        }
    }

    static constexpr std::size_t kMaxPiece = KSettingsFile::kMaxLineLength;

    KFile& mFile;
    char mBuffer[KSettingsFile::kMaxLineLength + 1];
};

// A line without its comment and leading blanks; empty when nothing is left.
std::string_view Meaningful(std::string_view line) {
    line = line.substr(0, line.find(';'));
    while (!line.empty() && (line.front() == ' ' || line.front() == '\t' || line.front() == '\n' ||
                             line.front() == '\r')) {
        line.remove_prefix(1);
    }
    return line;
}

bool IsSectionLine(std::string_view line) { return line.find('[') != npos && line.find(']') != npos; }

// The text between the first '[' and the first ']'; false when the ']' comes first.
bool SectionName(std::string_view line, std::string_view& name) {
    const auto open = line.find('[');
    const auto close = line.find(']');
    if (close < open) return false;
    name = line.substr(open + 1, close - open - 1);
    return true;
}

bool Contains(std::string_view text, std::string_view characters) {
    return text.find_first_of(characters) != npos;
}

bool HasControl(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) < 32) return true;
    }
    return false;
}

}  // namespace

bool KSettingsFile::NoCaseLess::operator()(const std::string& left, const std::string& right) const {
    const std::size_t n = left.size() < right.size() ? left.size() : right.size();
    for (std::size_t i = 0; i < n; ++i) {
        const unsigned char l = Lower(left[i]);
        const unsigned char r = Lower(right[i]);
        if (l != r) return l < r;
    }
    return left.size() < right.size();
}

KSettingsFile::KSettingsFile(const char* name, bool load) {
    const KString folder = GetSettingsFolder();
    const char* given = name ? name : "";
    if (given[0] == '@') {
        char machine[256];
        KFbxGetComputerName(machine, sizeof machine);
        mPath = folder + "/" + machine + "." + (given + 1);
        mBackupPath = folder + "/" + machine + ".backupfile.txt";
    } else {
        mPath = folder + "/" + given;
        mBackupPath = folder + "/backupfile.txt";
    }
    if (load) {
        mLoaded = true;
        Load();
    }
}

KSettingsFile::~KSettingsFile() {
    if (!mLoaded) return;
    if (mChanged) Save();
    FreeSections();
}

const char* KSettingsFile::GetValue(const char* section, const char* key, const char* defaultValue) {
    if (mLoaded) return FindInTables(section, key, defaultValue);
    return FindInFile(section, key, defaultValue);
}

bool KSettingsFile::SetValue(const char* section, const char* key, const char* value) {
    if (!mLoaded || !section || !key || !value || !*section || !*key) return false;
    const std::string_view s(section), k(key), v(value);
    if (HasControl(s) || HasControl(k) || HasControl(v) || Contains(s, ";]") || Contains(k, ";=[]") ||
        Contains(v, ";[]")) {
        return false;
    }
    if (s.size() + 2 > kMaxLineLength - 1 || k.size() + v.size() + 3 > kMaxLineLength - 1) return false;
    mSections[std::string(s)][std::string(k)] = std::string(v);
    mChanged = true;
    return true;
}

const KString& KSettingsFile::GetPath() const { return mPath; }

const KString& KSettingsFile::GetBackupPath() const { return mBackupPath; }

void KSettingsFile::SetSettingsFolder(const char* folder) { SettingsFolder() = folder ? folder : ""; }

KString KSettingsFile::GetSettingsFolder() {
    const KString& folder = SettingsFolder();
    return folder.IsOK() && !folder.IsEmpty() ? folder : KString(".");
}

void KSettingsFile::Load() {
    KFile file;
    if (!file.Open(mPath.Buffer(), KFile::eREAD, true)) return;
    SettingsLineReader reader(file);
    Section* current = nullptr;
    std::string_view line;
    while (reader.Next(line)) {
        line = Meaningful(line);
        if (line.empty()) continue;
        if (IsSectionLine(line)) {
            std::string_view name;
            current = SectionName(line, name) ? &mSections[std::string(name)] : nullptr;
            continue;
        }
        const auto equals = line.find('=');
        if (!current || equals == npos) continue;
        const std::string_view key = TrimEntryPart(line.substr(0, equals));
        if (key.empty()) continue;
        // The first of two equal keys wins, as it does for lookups straight from the file.
        current->emplace(std::string(key), std::string(TrimEntryPart(line.substr(equals + 1))));
    }
}

bool KSettingsFile::Save() {
    KFile file;
    if (!file.OpenWithModeString(mBackupPath.Buffer(), "wt+")) return false;
    std::string text;
    bool first = true;
    for (const auto& [name, entries] : mSections) {
        if (!first) text += '\n';
        first = false;
        text += '[' + name + "]\n";
        for (const auto& [key, value] : entries) text += key + " = " + value + '\n';
    }
    const auto length = static_cast<std::int64_t>(text.size());
    bool written = file.Write(text.data(), length) == length;
    file.Flush();
    written = written && file.Error() == 0;
    file.Close();
    if (!written) {
        KFile::RemoveFile(mBackupPath);
        return false;
    }
    if (!qalimor::os::RenameFile(mBackupPath.Buffer(), mPath.Buffer())) return false;
    mChanged = false;
    return true;
}

const char* KSettingsFile::FindInTables(const char* section, const char* key, const char* defaultValue) const {
    if (!section || !key) return defaultValue;
    const auto foundSection = mSections.find(section);
    if (foundSection == mSections.end()) return defaultValue;
    const auto foundKey = foundSection->second.find(key);
    return foundKey == foundSection->second.end() ? defaultValue : foundKey->second.c_str();
}

const char* KSettingsFile::FindInFile(const char* section, const char* key, const char* defaultValue) {
    mValue = defaultValue ? defaultValue : "";
    bool found = false;
    KFile file;
    if (section && key && file.Open(mPath.Buffer(), KFile::eREAD, true)) {
        SettingsLineReader reader(file);
        bool inSection = false;
        std::string_view line;
        while (!found && reader.Next(line)) {
            line = Meaningful(line);
            if (line.empty()) continue;
            if (IsSectionLine(line)) {
                inSection = BeginsWithNoCase(line.substr(line.find('[') + 1), section);
                continue;
            }
            std::string_view entry = line;
            while (!entry.empty() && IsBlank(entry.front())) entry.remove_prefix(1);
            const auto equals = entry.find('=');
            if (!inSection || equals == npos || !BeginsWithNoCase(entry, key)) continue;
            mValue = TrimEntryPart(entry.substr(equals + 1));
            found = true;
        }
    }
    return found || defaultValue ? mValue.c_str() : nullptr;
}

void KSettingsFile::FreeSections() { mSections.clear(); }

}  // namespace fbxsdk_2006_11_1
