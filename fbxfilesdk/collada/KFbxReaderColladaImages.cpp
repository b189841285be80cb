// Images into the files they name, and the textures of effect channels,
// which show those files, filed under their effect.
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/KFbxReaderCollada.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/core/KFbxDocumentFileNames.h>
#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxSystemUtils.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <cctype>
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

bool StartsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Each "%XX" escape becomes its byte; a "%" not followed by two hex digits stays.
std::string DecodePercentEscapes(const std::string& text) {
    std::string decoded;
    decoded.reserve(text.size());
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (text[at] == '%' && at + 2 < text.size() && HexValue(text[at + 1]) >= 0 && HexValue(text[at + 2]) >= 0) {
            decoded += static_cast<char>(HexValue(text[at + 1]) * 16 + HexValue(text[at + 2]));
            at += 2;
        } else {
            decoded += text[at];
        }
    }
    return decoded;
}

// "C:" or "C|": a drive letter, written with a colon or a bar.
bool IsDrive(const std::string& path, std::size_t at) {
    return path.size() >= at + 2 && std::isalpha(static_cast<unsigned char>(path[at])) != 0 &&
           (path[at + 1] == ':' || path[at + 1] == '|');
}

bool EqualsNoCase(std::string_view text, std::string_view word) {
    if (text.size() != word.size()) return false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        if (std::tolower(static_cast<unsigned char>(text[at])) != std::tolower(static_cast<unsigned char>(word[at]))) {
            return false;
        }
    }
    return true;
}

bool IsSeparator(char c) { return c == '/' || c == '\\'; }

// The file path an image's "init_from" names, and the host a file URI
// names (empty for none). A file URI's scheme, in any case, goes, as does
// an empty or "localhost" host, keeping an absolute path absolute
// ("file:///abs", "file://localhost/abs", "file:/abs"); a leading "./"
// goes. A URI that names another host ("file://server/share/y", or
// "file:////server/share/y") names a file of its share, in the form the
// SDK gives a share's path ("\\server\share\y"), unless the share's name
// is this machine's, which the system reads with one leading separator.
// recognised tells whether the text had one of these forms.
std::string ImagePathOf(const std::string& uri, bool& recognised, std::string& host) {
    std::string path = uri;
    recognised = true;
    host.clear();
    if (path.size() >= 5 && EqualsNoCase(std::string_view(path).substr(0, 5), "file:")) {
        path.erase(0, 5);
        if (StartsWith(path, "//")) {
            const std::size_t end = std::min(path.find('/', 2), path.size());
            const std::string authority = path.substr(2, end - 2);
            if (authority.empty() || EqualsNoCase(authority, "localhost")) {
                path.erase(0, end);
            } else if (IsDrive(authority, 0)) {
                path.erase(0, 2);
            } else {
                host = authority;
            }
        }
        if (path.size() >= 3 && path[0] == '/' && IsDrive(path, 1)) {
            path.erase(0, 1);
        }
    } else if (StartsWith(path, "./")) {
        path.erase(0, 2);
    } else {
        recognised = false;
    }
    path = DecodePercentEscapes(path);
    if (path.size() >= 2 && IsSeparator(path[0]) && IsSeparator(path[1])) {
        if (KFbxIsSharePath(path.c_str())) {
            for (char& c : path) {
                if (c == '/') {
                    c = '\\';
                }
            }
            return path;
        }
        const std::size_t first = path.find_first_not_of("/\\");
        path.erase(0, (first == std::string::npos ? path.size() : first) - 1);
    }
    // A drive letter written with a bar, as in "file:///C|/maps".
    const std::size_t bar = path.find('|');
    if (bar != std::string::npos) {
        path[bar] = ':';
    }
    return path;
}

// The text of an element as one token: blanks around it dropped.
KString TokenOf(const xmlNode* element) {
    const ElementText text(element);
    const char* cursor = text.Get();
    return ParseToken(cursor);
}

// The "newparam" of that sid in the effect scopes that hold the element.
xmlNode* FindEffectParameter(const xmlNode* element, const KString& sid) {
    for (const xmlNode* scope = element; scope != nullptr; scope = scope->parent) {
        if (!IsNamed(scope, "profile_COMMON") && !IsNamed(scope, "effect")) {
            continue;
        }
        for (xmlNode* child : ChildElements(scope)) {
            if (IsNamed(child, "newparam") && HasAttributeValue(child, "sid", sid.Buffer())) {
                return child;
            }
        }
    }
    return nullptr;
}

}  // namespace

bool KFbxReaderColladaPass::ImportImage(xmlNode* image) {
    const KString id = GetAttribute(image, "id");
    // Both folders are measured once a read, however many images name files.
    if (!mDocumentFolder) {
        // Ending in one separator, the root's own among them.
        mWorkingFolder = KFbxGetCurrentDirectory();
        if (mWorkingFolder.IsEmpty() || mWorkingFolder.Buffer()[mWorkingFolder.GetLen() - 1] != '/') {
            mWorkingFolder += "/";
        }
        mDocumentFolder.emplace(mReader.GetFileName());
    }
    xmlNode* initFrom = FindChild(image, "init_from");
    if (initFrom == nullptr) {
        // An image embedded as data: its textures are reported missing, one by one.
        Warning(KString("Image ") + id + " has no input file.");
        return true;
    }
    const KString uri = GetContent(initFrom);
    bool recognised = false;
    std::string host;
    const std::string path = ImagePathOf(uri.Buffer(), recognised, host);
    if (!recognised) {
        Warning(KString("Image file path ") + uri + " does not begin with \"./\", \"file://\" or \"file:///\"." +
                " Some textures might not be loaded.");
    }
    KString fileName(path.c_str());
    KString relative = KFbxIsRelativePath(fileName) ? fileName : KFbxGetRelativePath(mWorkingFolder, fileName);
    // A relative name is relative to the document. A file the working
    // folder holds under it still wins, as it always has; one it lacks is
    // looked for beside the document and, found there, named from the root.
    const auto findRelative = [this](const KString& name) {
        return KFbxFileExists(name) ? name : mDocumentFolder->Find(name);
    };
    if (KFbxIsRelativePath(fileName)) {
        const KString found = findRelative(fileName);
        if (!found.IsEmpty()) {
            fileName = found;
        }
    } else if (!host.empty()) {
        // Some writers put a relative path where a file URI names its host
        // ("file://textures/wood.tga"): where that path finds a file, as
        // this reader once read it, the image is that file.
        const std::string_view afterScheme = std::string_view(uri.Buffer()).substr(std::strlen("file://"));
        const KString asRelative(DecodePercentEscapes(std::string(afterScheme)).c_str());
        const KString found = findRelative(asRelative);
        if (!found.IsEmpty()) {
            fileName = found;
            relative = asRelative;
        }
    }
    mImages.Add(id, ColladaImage{id, fileName, relative});
    return true;
}

const ColladaImage* KFbxReaderColladaPass::FindTextureImage(xmlNode* texture, const KString& reference) {
    // COLLADA 1.4.1: the texture names a sampler2D parameter, whose source
    // names a surface parameter, whose init_from names the image.
    xmlNode* sampler = FindChild(FindEffectParameter(texture, reference), "sampler2D");
    if (sampler != nullptr) {
        const KString surfaceSid = TokenOf(FindChild(sampler, "source"));
        xmlNode* surface = FindChild(FindEffectParameter(texture, surfaceSid), "surface");
        if (const ColladaImage* image = mImages.Find(TokenOf(FindChild(surface, "init_from")))) {
            return image;
        }
    }
    return mImages.Find(reference);
}

bool KFbxReaderColladaPass::ImportTexture(xmlNode* textureElement, const KString& effectId, int channel) {
    const KString reference = GetAttribute(textureElement, "texture");
    KFbxTexture::EWrapMode wrapU = KFbxTexture::eREPEAT;
    KFbxTexture::EWrapMode wrapV = KFbxTexture::eREPEAT;
    KFbxTexture::EBlendMode blend = KFbxTexture::eTRANSLUCENT;
    xmlNode* maya = FindTechniqueByProfile(FindChild(textureElement, "extra"), "MAYA");
    for (xmlNode* parameter : ChildElements(maya)) {
        const char* name = GetName(parameter);
        const KString value = GetContent(parameter);
        const KString upper = value.Upper();
        if (std::strcmp(name, "wrapU") == 0) {
            wrapU = upper == "FALSE" ? KFbxTexture::eCLAMP : KFbxTexture::eREPEAT;
        } else if (std::strcmp(name, "wrapV") == 0) {
            wrapV = upper == "FALSE" ? KFbxTexture::eCLAMP : KFbxTexture::eREPEAT;
        } else if (std::strcmp(name, "blend_mode") == 0) {
            blend = upper == "NONE" ? KFbxTexture::eTRANSLUCENT : KFbxTexture::eADDITIVE;
            if (upper != "NONE" && upper != "ADD") {
                WarningOnce("blend_mode", KString("texture blend mode not recognized: ") + value);
            }
        } else {
            WarningOnce(name, KString("this texture parameter not supported: ") + name);
        }
    }
    const ColladaImage* image = FindTextureImage(textureElement, reference);
    if (image == nullptr) {
        // The channel goes without its texture; the rest of the effect is kept.
        Warning(KString("Image not found: ") + reference);
        return false;
    }
    KFbxTexture* texture = KFbxTexture::Create(&mManager, image->mName.Buffer());
    if (texture == nullptr) {
        return false;
    }
    texture->SetWrapMode(wrapU, wrapV);
    texture->SetBlendMode(blend);
    texture->SetMaterialUse(KFbxTexture::eMODEL_MATERIAL);
    texture->SetFileName(image->mFileName.Buffer());
    texture->SetRelativeFileName(image->mRelativeFileName.Buffer());
    std::shared_ptr<ColladaTextureBindings>& bindings = mTextureBindings.FindOrAdd(effectId);
    if (bindings == nullptr) {
        bindings = std::make_shared<ColladaTextureBindings>();
    }
    bindings->push_back(ColladaTextureBinding{texture, 0, channel});
    return true;
}

}  // namespace fbxsdk_2006_11_1
