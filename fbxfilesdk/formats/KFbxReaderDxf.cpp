// The DXF reader's frame: its file, options and read order, the layer
// table, the block index, inserts and the three ways of making nodes.
#include <fbxfilesdk/formats/KFbxReaderDxf.h>

#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <map>
#include <new>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kReferenceNodeName = "Fbx_Root";
// Blocks nested deeper than this are taken for a loop.
constexpr std::size_t kMaxInsertDepth = 64;
// Entities that inserts may add, per pair of the file.
constexpr long long kInsertEntitiesPerPair = 4;
constexpr long long kInsertEntitiesAtLeast = 10000;

}  // namespace

KFbxReaderDxf::KFbxReaderDxf(KFbxSdkManager& manager, KFbxIO* /*io*/) : KFbxReader(manager) {}

KFbxReaderDxf::~KFbxReaderDxf() { FileClose(); }

bool KFbxReaderDxf::FileOpen(const char* fileName) {
    FileClose();
    mError.ClearError();
    mFile = fileName != nullptr && fileName[0] != '\0' ? std::fopen(fileName, "rb") : nullptr;
    if (mFile == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    mFileName = fileName;
    return true;
}

bool KFbxReaderDxf::FileClose() {
    bool closed = true;
    if (mFile != nullptr) {
        closed = std::fclose(mFile) == 0;
        mFile = nullptr;
    }
    mFileName = KString();
    mText.clear();
    mText.shrink_to_fit();
    return closed;
}

KFbxStreamOptions* KFbxReaderDxf::GetReadOptions() {
    if (mFile == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return nullptr;
    }
    KFbxStreamOptions* options = KFbxStreamOptionsDxfReader::Create(&mManager, "");
    if (options == nullptr) {
        mError.SetError(eOUT_OF_MEMORY);
    }
    return options;
}

// ---- file ------------------------------------------------------------------

bool KFbxReaderDxf::LoadFile() {
    mText.clear();
    if (std::fseek(mFile, 0, SEEK_SET) != 0) {
        return false;
    }
    // Grows with what the file holds, never by what it claims.
    char block[65536];
    try {
        for (std::size_t got; (got = std::fread(block, 1, sizeof block, mFile)) > 0;) {
            mText.append(block, got);
        }
    } catch (const std::bad_alloc&) {
        mError.SetError(eOUT_OF_MEMORY);
        return false;
    }
    return std::ferror(mFile) == 0;
}

void KFbxReaderDxf::Warn(int line, const char* text) {
    mMessage += "Line ";
    mMessage += line;
    mMessage += ": ";
    mMessage += text;
    mMessage += "\n";
}

// ---- sections --------------------------------------------------------------

void KFbxReaderDxf::ReadTables(std::size_t& position) {
    while (position < mPairs.Size()) {
        const KFbxDxfPair& pair = mPairs[position];
        if (pair.Is(0, "ENDSEC")) {
            ++position;
            return;
        }
        if (!pair.Is(0, "LAYER")) {
            ++position;
            continue;
        }
        const Span entry = EntityAt(position);
        position = entry.mEnd;
        std::string_view name;
        int color = 0;
        for (std::size_t i = entry.mBegin + 1; i < entry.mEnd; ++i) {
            if (mPairs[i].mCode == 2) {
                name = mPairs[i].mValue;
            } else if (mPairs[i].mCode == 62 && !KFbxDxfPairs::ToInt(mPairs[i].mValue, color)) {
                Warn(mPairs[i].mLine, "layer colour that is no integer taken as 0");
                color = 0;
            }
        }
        if (!name.empty()) {
            mLayers.emplace(std::string(name), color);
        }
    }
}

void KFbxReaderDxf::IndexBlocks(std::size_t& position) {
    while (position < mPairs.Size() && !mPairs[position].Is(0, "ENDSEC")) {
        if (!mPairs[position].Is(0, "BLOCK")) {
            ++position;
            continue;
        }
        const Span header = EntityAt(position);
        for (std::size_t i = header.mBegin + 1; i < header.mEnd; ++i) {
            if (mPairs[i].mCode == 2 && !mPairs[i].mValue.empty()) {
                mBlocks.emplace(std::string(mPairs[i].mValue), position);
                break;
            }
        }
        position = header.mEnd;
    }
}

void KFbxReaderDxf::ReadInsert(const Span& span, KFbxNode& parent, const KFbxVector4& offset) {
    const int line = mPairs[span.mBegin].mLine;
    std::string name;
    double scale[3] = {1.0, 1.0, 1.0};
    double rotation = 0.0;
    bool numbers = true;
    for (std::size_t i = span.mBegin + 1; i < span.mEnd; ++i) {
        const KFbxDxfPair& pair = mPairs[i];
        if (pair.mCode == 2) {
            name = pair.mValue;
        } else if (pair.mCode >= 41 && pair.mCode <= 43) {
            numbers = KFbxDxfPairs::ToDouble(pair.mValue, scale[pair.mCode - 41]) && numbers;
        } else if (pair.mCode == 50) {
            numbers = KFbxDxfPairs::ToDouble(pair.mValue, rotation) && numbers;
        }
    }
    KFbxVector4 insertion;
    if (!numbers || !ReadPoint(span, 10, insertion)) {
        Warn(line, "INSERT with a value that is no number left out");
        return;
    }
    const auto found = mBlocks.find(name);
    if (name.empty() || found == mBlocks.end()) {
        Warn(line, ("INSERT of a block that does not exist: \"" + name + "\"").c_str());
        return;
    }
    for (const std::string& outer : mInsertChain) {
        if (outer == name) {
            Warn(line, ("block inserts itself: \"" + name + "\"").c_str());
            return;
        }
    }
    if (mInsertChain.size() >= kMaxInsertDepth) {
        Warn(line, "blocks nested too deep");
        return;
    }
    if (mInsertBudget <= 0) {
        return;
    }
    const Span header = EntityAt(found->second);
    KFbxVector4 base;
    if (!ReadPoint(header, 10, base)) {
        Warn(mPairs[header.mBegin].mLine, "block base point that is no number taken as 0");
        base = ToScene(0.0, 0.0, 0.0);
    }
    Placement placement;
    placement.mInsertion = Minus(insertion, offset);
    // Scale factors are lengths along the axes, not a point: no sign change.
    placement.mScale = KFbxVector4(scale[0], scale[2], scale[1], 0.0);
    placement.mRotation = rotation;

    KString nodeName(name.c_str());
    mRenaming.Rename(nodeName);
    mInsertChain.push_back(name);
    std::size_t position = header.mEnd;
    if (!ReadBlockEntities(position, parent, nodeName.Buffer(), &placement, base, false)) {
        Warn(line, ("block does not end: \"" + name + "\"").c_str());
    }
    mInsertChain.pop_back();
}

bool KFbxReaderDxf::ReadBlockEntities(std::size_t& position, KFbxNode& parent, const char* name,
                                      const Placement* placement, const KFbxVector4& offset, bool topLevel) {
    KFbxNode* node = KFbxNode::Create(&mManager, name);
    if (node == nullptr) {
        return false;
    }
    FaceSet set;
    bool geometry = false;
    bool ended = false;
    while (position < mPairs.Size()) {
        const KFbxDxfPair& pair = mPairs[position];
        if (pair.mCode != 0) {
            ++position;
            continue;
        }
        if (IsSectionEnd(pair)) {
            ++position;
            ended = true;
            break;
        }
        if (pair.mValue == "EOF") {
            break;
        }
        if (!topLevel && --mInsertBudget < 0) {
            // What was read stays.
            if (!mBudgetWarned) {
                Warn(pair.mLine, "inserts would add more than the drawing can hold; the rest is left out");
                mBudgetWarned = true;
            }
            ended = true;
            break;
        }
        const Span span = EntityAt(position);
        if (pair.mValue == "POLYLINE") {
            ReadPolyline(position, set, offset);
            geometry = true;
            continue;
        }
        position = span.mEnd;
        if (pair.mValue == "3DFACE") {
            Read3DFace(span, set, offset);
            geometry = true;
        } else if (pair.mValue == "INSERT") {
            ReadInsert(span, topLevel ? parent : *node, offset);
        }
    }
    if (geometry) {
        if (KFbxMesh* mesh = BuildMesh(set)) {
            node->SetNodeAttribute(mesh);
        }
    }
    if (node->GetNodeAttribute() == nullptr && node->GetChildCount() == 0) {
        node->Destroy();
        return ended;
    }
    if (placement != nullptr) {
        const KFbxVector4& s = placement->mScale;
        if (s[0] != 1.0 || s[1] != 1.0 || s[2] != 1.0) {
            node->SetLclScaling(s);
        }
        if (placement->mRotation != 0.0) {
            node->SetLclRotation(KFbxVector4(0.0, placement->mRotation, 0.0, 0.0));
        }
        const KFbxVector4& t = placement->mInsertion;
        if (t[0] != 0.0 || t[1] != 0.0 || t[2] != 0.0) {
            node->SetLclTranslation(KFbxVector4(t[0], t[1], t[2], 0.0));
        }
    }
    parent.AddChild(node);
    return ended;
}

bool KFbxReaderDxf::ReadEntitiesByLayer(std::size_t& position, KFbxNode& parent) {
    std::map<std::string, FaceSet> layers;
    const KFbxVector4 origin = ToScene(0.0, 0.0, 0.0);
    bool ended = false;
    while (position < mPairs.Size()) {
        const KFbxDxfPair& pair = mPairs[position];
        if (pair.mCode != 0) {
            ++position;
            continue;
        }
        if (IsSectionEnd(pair)) {
            ++position;
            ended = true;
            break;
        }
        if (pair.mValue == "EOF") {
            break;
        }
        const Span span = EntityAt(position);
        if (pair.mValue == "POLYLINE") {
            ReadPolyline(position, layers[std::string(LayerOf(span))], origin);
            continue;
        }
        position = span.mEnd;
        if (pair.mValue == "3DFACE") {
            Read3DFace(span, layers[std::string(LayerOf(span))], origin);
        } else if (pair.mValue == "INSERT") {
            ReadInsert(span, parent, origin);
        }
    }
    for (auto& [layer, set] : layers) {
        // A layer whose every face was degenerate has nothing to show.
        KFbxMesh* mesh = set.mFaces.empty() ? nullptr : BuildMesh(set);
        if (mesh == nullptr) {
            continue;
        }
        KFbxNode* node = CreateNode(layer.c_str());
        if (node == nullptr) {
            mesh->Destroy();
            return false;
        }
        node->SetNodeAttribute(mesh);
        if (LayerColor(layer) < 0) {
            node->SetVisibility(false);
        }
        parent.AddChild(node);
        set = FaceSet();
    }
    return ended;
}

bool KFbxReaderDxf::ReadEntitiesByEntity(std::size_t& position, KFbxNode& parent) {
    const KFbxVector4 origin = ToScene(0.0, 0.0, 0.0);
    while (position < mPairs.Size()) {
        const KFbxDxfPair& pair = mPairs[position];
        if (pair.mCode != 0) {
            ++position;
            continue;
        }
        if (IsSectionEnd(pair)) {
            ++position;
            return true;
        }
        if (pair.mValue == "EOF") {
            return false;
        }
        const Span span = EntityAt(position);
        const bool polyline = pair.mValue == "POLYLINE";
        const bool face = pair.mValue == "3DFACE";
        if (!polyline) {
            position = span.mEnd;
        }
        if (pair.mValue == "INSERT") {
            ReadInsert(span, parent, origin);
        }
        if (!polyline && !face) {
            continue;
        }
        FaceSet set;
        if (polyline) {
            ReadPolyline(position, set, origin);
        } else {
            // The corners of one face are its own points.
            const bool weld = mWeld;
            mWeld = false;
            Read3DFace(span, set, origin);
            mWeld = weld;
            if (set.mFaces.empty()) {
                continue;
            }
        }
        KFbxMesh* mesh = BuildMesh(set);
        KFbxNode* node = mesh != nullptr ? CreateNode(polyline ? "POLYLINE" : "3DFACE") : nullptr;
        if (node == nullptr) {
            if (mesh != nullptr) {
                mesh->Destroy();
            }
            return false;
        }
        node->SetNodeAttribute(mesh);
        parent.AddChild(node);
    }
    return false;
}

bool KFbxReaderDxf::Read(KFbxScene* scene, KFbxStreamOptions* options) {
    mError.ClearError();
    mMessage = KString();
    if (mFile == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    auto* own = dynamic_cast<KFbxStreamOptionsDxfReader*>(options);
    if (own == nullptr) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        return false;
    }
    if (scene == nullptr || scene->GetRootNode() == nullptr) {
        mError.SetErrorWithText(eUNIDENTIFIED_ERROR, "No scene to read into");
        return false;
    }
    mObjectDerivation = own->GetObjectDerivation();
    mWeld = own->GetBoolOption("WELD VERTICES", true);
    mReferenceNode = own->GetBoolOption("REFERENCENODE", false);
    if (mObjectDerivation < 0 || mObjectDerivation > 2) {
        mError.SetErrorWithText(eUNIDENTIFIED_ERROR, "OBJECT DERIVATION must be 0, 1 or 2");
        return false;
    }

    // Every read starts afresh: materials of an earlier read belong to the
    // scene that read made, which may be gone.
    mMaterialCounter = 0;
    mColorMaterials.fill(nullptr);
    mRenaming.Clear();
    mLayers.clear();
    mBlocks.clear();
    mInsertChain.clear();
    mBudgetWarned = false;
    if (!LoadFile()) {
        if (mError.GetLastErrorID() == -1) {
            mError.SetError(eFILE_CORRUPTED);
        }
        return false;
    }
    mPairs.Parse(mText);
    mInsertBudget = static_cast<long long>(mPairs.Size()) * kInsertEntitiesPerPair + kInsertEntitiesAtLeast;

    // Blocks are found wherever their section stands.
    for (std::size_t i = 0; i + 1 < mPairs.Size(); ++i) {
        if (mPairs[i].Is(0, "SECTION") && mPairs[i + 1].Is(2, "BLOCKS")) {
            std::size_t position = i + 2;
            IndexBlocks(position);
            break;
        }
    }

    mScene = scene;
    KFbxNode* parent = scene->GetRootNode();
    if (mReferenceNode) {
        KFbxNode* reference = KFbxNode::Create(&mManager, kReferenceNodeName);
        if (reference == nullptr) {
            mError.SetError(eOUT_OF_MEMORY);
            mScene = nullptr;
            return false;
        }
        // Turns the scene's Y up back into the drawing's Z up.
        reference->SetLclRotation(KFbxVector4(90.0, 0.0, 0.0, 0.0));
        parent->AddChild(reference);
        parent = reference;
    }

    bool read = false;
    bool finished = false;
    std::size_t position = 0;
    while (position < mPairs.Size() && !finished) {
        const KFbxDxfPair& pair = mPairs[position];
        if (pair.Is(0, "EOF")) {
            read = finished = true;
        } else if (pair.Is(0, "SECTION") && position + 1 < mPairs.Size() && mPairs[position + 1].mCode == 2) {
            const std::string_view section = mPairs[position + 1].mValue;
            position += 2;
            if (section == "TABLES") {
                ReadTables(position);
            } else if (section == "ENTITIES") {
                if (mObjectDerivation == 0) {
                    read = ReadEntitiesByLayer(position, *parent);
                } else if (mObjectDerivation == 1) {
                    read = ReadEntitiesByEntity(position, *parent);
                } else {
                    read = ReadBlockEntities(position, *parent, "ENTITIES", nullptr, ToScene(0.0, 0.0, 0.0), true);
                }
                finished = true;
            }
        } else {
            ++position;
        }
    }
    mText.clear();
    mScene = nullptr;
    if (read && !mPairs.Error().empty()) {
        // Past the entities: what could not be read changed nothing.
        mMessage += mPairs.Error().c_str();
        mMessage += "\n";
    }
    if (!read) {
        const std::string detail =
            mPairs.Error().empty() ? std::string("the drawing ends before its end") : mPairs.Error();
        mError.SetErrorWithText(eFILE_CORRUPTED, detail.c_str());
    }
    return read;
}

}  // namespace fbxsdk_2006_11_1
