// The DXF reader's frame: its file, options and read order, the layer
// table, the block index, inserts and the three ways of making nodes.
#include <fbxfilesdk/formats/KFbxReaderDxf.h>

#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <platform/os/File.h>

#include <sys/stat.h>

#include <cerrno>
#include <map>
#include <new>
#include <optional>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kReferenceNodeName = "Fbx_Root";
// Blocks nested deeper than this are taken for a loop.
constexpr std::size_t kMaxInsertDepth = 64;
// The group code of a comment, which may stand anywhere.
constexpr int kCommentCode = 999;
// What inserts may cost, in bytes of memory or its worth in time: a fixed
// allowance, so that a small drawing stays small whatever its blocks do, and
// a share that grows with the drawing, for large drawings of many inserts.
constexpr long long kInsertAllowance = 16LL << 20;
constexpr long long kInsertAllowancePerByte = 8;
// A node and its mesh made for an insert; each entity walked in a block.
constexpr long long kInsertNodeCost = 24LL << 10;
constexpr long long kInsertEntityCost = 64;

}  // namespace

KFbxReaderDxf::KFbxReaderDxf(KFbxSdkManager& manager, KFbxIO* /*io*/) : KFbxReader(manager) {}

KFbxReaderDxf::~KFbxReaderDxf() { FileClose(); }

bool KFbxReaderDxf::FileOpen(const char* fileName) {
    FileClose();
    mError.ClearError();
    if (fileName == nullptr || fileName[0] == '\0') {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    // A FIFO or a device would block or never end.
    mFile = qalimor::os::OpenRegularFile(fileName);
    if (mFile == nullptr) {
        const std::string reason = std::string(fileName) + ": " + qalimor::os::OpenFailureText(errno);
        mError.SetErrorWithText(eFILE_NOT_OPENED, reason.c_str());
        return false;
    }
    mFileName = fileName;
    return true;
}

bool KFbxReaderDxf::OpensRegularFilesOnly() const { return true; }

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
    // Grows with what the file holds: only regular files are opened, whose
    // size is what they hold, and a file that changes meanwhile is read as
    // far as it goes.
    char block[65536];
    try {
        struct stat status {};
        if (fstat(fileno(mFile), &status) == 0 && status.st_size > 0 &&
            static_cast<unsigned long long>(status.st_size) < mText.max_size()) {
            mText.resize(static_cast<std::size_t>(status.st_size));
            mText.resize(std::fread(mText.data(), 1, mText.size(), mFile));
        }
        for (std::size_t got; (got = std::fread(block, 1, sizeof block, mFile)) > 0;) {
            mText.append(block, got);
        }
    } catch (const std::bad_alloc&) {
        mError.SetError(eOUT_OF_MEMORY);
        return false;
    }
    return std::ferror(mFile) == 0;
}

void KFbxReaderDxf::Warn(int line, const char* text, std::string_view name) {
    // Entities of a block are read once per insert: each warns once, and
    // nothing is spent on a warning given before or past the kept ones.
    if (!mWarnedLines.insert(line).second || !KeepWarning()) {
        return;
    }
    std::string warning = "Line " + std::to_string(line) + ": " + text;
    if (!name.empty()) {
        warning += ": \"";
        warning += name;
        warning += '"';
    }
    warning += '\n';
    mMessage += warning.c_str();
}

// ---- sections --------------------------------------------------------------

void KFbxReaderDxf::ReadEntityAt(Position& position, Entity& entity) {
    entity.clear();
    // Each pair is read straight into its place; the group-0 pair that
    // follows is given back (its second reading is free).
    Position before = position;
    while (mPairs.Next(position, entity.emplace_back())) {
        if (entity.size() > 1 && entity.back().mCode == 0) {
            position = before;
            break;
        }
        before = position;
    }
    entity.pop_back();
}

bool KFbxReaderDxf::IsSectionInside(const KFbxDxfPair& pair, std::string_view section) {
    if (!pair.Is(0, "SECTION")) {
        return false;
    }
    if (mDamage.empty()) {
        mDamage = "Line " + std::to_string(pair.mLine) + ": SECTION inside the " + std::string(section) +
                  " section: its ENDSEC is missing or damaged";
    }
    return true;
}

void KFbxReaderDxf::ReadTables(Position& position) {
    Entity entry;
    KFbxDxfPair pair;
    while (PairAt(position, pair) && !IsSectionInside(pair, "TABLES")) {
        if (!pair.Is(0, "LAYER")) {
            mPairs.Next(position, pair);
            if (pair.Is(0, "ENDSEC")) {
                return;
            }
            continue;
        }
        ReadEntityAt(position, entry);
        std::string_view name;
        int color = 0;
        for (std::size_t i = 1; i < entry.size(); ++i) {
            if (entry[i].mCode == 2) {
                name = entry[i].mValue;
            } else if (entry[i].mCode == 62 && !KFbxDxfPairs::ToInt(entry[i].mValue, color)) {
                Warn(entry[i].mLine, "layer colour that is no integer taken as 0");
                color = 0;
            }
        }
        if (!name.empty()) {
            mLayers.emplace(std::string(name), color);
        }
    }
}

void KFbxReaderDxf::IndexBlocks(Position& position) {
    mBlocksFound = true;
    Entity header;
    KFbxDxfPair pair;
    while (PairAt(position, pair) && !pair.Is(0, "ENDSEC") && !IsSectionInside(pair, "BLOCKS")) {
        if (!pair.Is(0, "BLOCK")) {
            mPairs.Next(position, pair);
            continue;
        }
        const Position at = position;
        ReadEntityAt(position, header);
        for (std::size_t i = 1; i < header.size(); ++i) {
            if (header[i].mCode == 2 && !header[i].mValue.empty()) {
                mBlocks.emplace(std::string(header[i].mValue), at);
                break;
            }
        }
    }
}

void KFbxReaderDxf::FindBlocks(Position position) {
    if (mBlocksFound) {
        return;
    }
    mBlocksFound = true;
    KFbxDxfPair pair;
    while (mPairs.Next(position, pair)) {
        KFbxDxfPair name;
        if (pair.Is(0, "SECTION") && PairAt(position, name) && name.Is(2, "BLOCKS")) {
            mPairs.Next(position, name);
            IndexBlocks(position);
            return;
        }
    }
}

bool KFbxReaderDxf::SpendOnInsert(int line, long long cost) {
    mInsertBudget -= cost;
    if (mInsertBudget >= 0) {
        return true;
    }
    // What was read stays.
    if (!mBudgetWarned) {
        Warn(line, "inserts would add more than the drawing can hold; the rest is left out");
        mBudgetWarned = true;
    }
    return false;
}

void KFbxReaderDxf::ReadInsert(const Entity& entity, KFbxNode& parent, const KFbxVector4& offset) {
    const int line = entity[0].mLine;
    std::string name;
    double scale[3] = {1.0, 1.0, 1.0};
    double rotation = 0.0;
    bool numbers = true;
    for (std::size_t i = 1; i < entity.size(); ++i) {
        const KFbxDxfPair& pair = entity[i];
        if (pair.mCode == 2) {
            name = pair.mValue;
        } else if (pair.mCode >= 41 && pair.mCode <= 43) {
            numbers = KFbxDxfPairs::ToDouble(pair.mValue, scale[pair.mCode - 41]) && numbers;
        } else if (pair.mCode == 50) {
            numbers = KFbxDxfPairs::ToDouble(pair.mValue, rotation) && numbers;
        }
    }
    KFbxVector4 insertion;
    if (!numbers || !ReadPoint(entity, 10, insertion)) {
        Warn(line, "INSERT with a value that is no number left out");
        return;
    }
    if (!mBlocksFound) {
        // Blocks are found wherever their section stands.
        FindBlocks(mEntitiesStart);
    }
    const auto found = mBlocks.find(name);
    if (name.empty() || found == mBlocks.end()) {
        Warn(line, "INSERT of a block that does not exist", name);
        return;
    }
    for (const std::string& outer : mInsertChain) {
        if (outer == name) {
            Warn(line, "block inserts itself", name);
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
    Position position = found->second;
    Entity header;
    ReadEntityAt(position, header);
    KFbxVector4 base;
    if (!ReadPoint(header, 10, base)) {
        Warn(header[0].mLine, "block base point that is no number taken as 0");
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
    if (!ReadBlockEntities(position, parent, nodeName.Buffer(), &placement, base, false)) {
        Warn(line, "block does not end", name);
    }
    mInsertChain.pop_back();
}

template <class Visit>
bool KFbxReaderDxf::WalkEntities(Position& position, std::string_view section, Visit visit) {
    KFbxDxfPair pair;
    while (PairAt(position, pair)) {
        if (pair.mCode != 0) {
            mPairs.Next(position, pair);
            continue;
        }
        if (IsSectionInside(pair, section)) {
            return false;
        }
        if (IsSectionEnd(pair)) {
            mPairs.Next(position, pair);
            return true;
        }
        if (pair.mValue == "EOF") {
            return false;
        }
        if (const std::optional<bool> result = visit(pair)) {
            return *result;
        }
    }
    return false;
}

template <class SetOf>
bool KFbxReaderDxf::ReadEntity(Position& position, Entity& entity, SetOf setOf, KFbxNode& insertParent,
                               const KFbxVector4& offset) {
    ReadEntityAt(position, entity);
    const std::string_view kind = entity[0].mValue;
    if (kind == "POLYLINE") {
        ReadPolyline(entity, position, setOf(entity), offset);
        return true;
    }
    if (kind == "3DFACE") {
        Read3DFace(entity, setOf(entity), offset);
        return true;
    }
    if (kind == "INSERT") {
        ReadInsert(entity, insertParent, offset);
    }
    return false;
}

bool KFbxReaderDxf::ReadBlockEntities(Position& position, KFbxNode& parent, const char* name,
                                      const Placement* placement, const KFbxVector4& offset, bool topLevel) {
    if (!topLevel && !SpendOnInsert(static_cast<int>(position.mLine), kInsertNodeCost)) {
        return true;
    }
    KFbxNode* node = KFbxNode::Create(&mManager, name);
    if (node == nullptr) {
        return false;
    }
    FaceSet set;
    Entity entity;
    bool geometry = false;
    const char* const section = topLevel ? "ENTITIES" : "BLOCKS";
    const bool ended = WalkEntities(position, section, [&](const KFbxDxfPair& pair) -> std::optional<bool> {
        if (!topLevel && !SpendOnInsert(pair.mLine, kInsertEntityCost)) {
            return true;
        }
        const std::size_t start = position.mOffset;
        if (ReadEntity(position, entity, [&](const Entity&) -> FaceSet& { return set; }, topLevel ? parent : *node,
                       offset)) {
            geometry = true;
        }
        // Each copy of a block reads its text again.
        if (!topLevel && !SpendOnInsert(pair.mLine, static_cast<long long>(position.mOffset - start))) {
            return true;
        }
        return std::nullopt;
    });
    if (!topLevel) {
        // What the copies of the block's geometry take.
        SpendOnInsert(static_cast<int>(position.mLine),
                      static_cast<long long>(set.mPoints.size() * sizeof(KFbxVector4) * 3 + set.mFaces.size() * 64));
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

bool KFbxReaderDxf::ReadEntitiesByLayer(Position& position, KFbxNode& parent) {
    std::map<std::string, FaceSet, std::less<>> layers;
    const KFbxVector4 origin = ToScene(0.0, 0.0, 0.0);
    // Entities of one layer mostly follow each other.
    FaceSet* last = nullptr;
    std::string_view lastLayer;
    const auto layerSet = [&](const Entity& entity) -> FaceSet& {
        const std::string_view layer = LayerOf(entity);
        if (last == nullptr || layer != lastLayer) {
            auto found = layers.find(layer);
            if (found == layers.end()) {
                found = layers.emplace(std::string(layer), FaceSet()).first;
            }
            last = &found->second;
            lastLayer = found->first;
        }
        return *last;
    };
    Entity entity;
    const bool ended = WalkEntities(position, "ENTITIES", [&](const KFbxDxfPair&) -> std::optional<bool> {
        ReadEntity(position, entity, layerSet, parent, origin);
        return std::nullopt;
    });
    // Nothing is read after the entities: the meshes need not share the
    // memory with the drawing's text.
    mPairs.Reset(std::string_view(), false);
    std::string().swap(mText);
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

bool KFbxReaderDxf::ReadEntitiesByEntity(Position& position, KFbxNode& parent) {
    const KFbxVector4 origin = ToScene(0.0, 0.0, 0.0);
    Entity entity;
    return WalkEntities(position, "ENTITIES", [&](const KFbxDxfPair&) -> std::optional<bool> {
        ReadEntityAt(position, entity);
        const std::string_view kind = entity[0].mValue;
        const bool polyline = kind == "POLYLINE";
        const bool face = kind == "3DFACE";
        if (kind == "INSERT") {
            ReadInsert(entity, parent, origin);
        }
        if (!polyline && !face) {
            return std::nullopt;
        }
        FaceSet set;
        if (polyline) {
            ReadPolyline(entity, position, set, origin);
        } else {
            // The corners of one face are its own points.
            const bool weld = mWeld;
            mWeld = false;
            Read3DFace(entity, set, origin);
            mWeld = weld;
            if (set.mFaces.empty()) {
                return std::nullopt;
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
        return std::nullopt;
    });
}

bool KFbxReaderDxf::Read(KFbxScene* scene, KFbxStreamOptions* options) {
    mError.ClearError();
    ClearMessage();
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
    mBlocksFound = false;
    mWarnedLines.clear();
    mInsertChain.clear();
    mBudgetWarned = false;
    mDamage.clear();
    if (!LoadFile()) {
        if (mError.GetLastErrorID() == -1) {
            mError.SetError(eFILE_CORRUPTED);
        }
        return false;
    }
    mPairs.Reset(mText);
    mInsertBudget = kInsertAllowance + static_cast<long long>(mText.size()) * kInsertAllowancePerByte;

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

    const int childrenBefore = parent->GetChildCount();
    bool read = false;
    bool finished = false;
    bool inSection = false;
    bool entities = false;
    std::string_view section;
    Position position = mPairs.Start();
    KFbxDxfPair pair;
    KFbxDxfPair sectionName;
    while (!finished && mPairs.Next(position, pair)) {
        if (pair.Is(0, "EOF")) {
            read = finished = true;
        } else if (inSection) {
            // A section passed over ends at its ENDSEC, never at a SECTION.
            finished = IsSectionInside(pair, section);
            inSection = !pair.Is(0, "ENDSEC");
        } else if (pair.Is(0, "SECTION") && PairAt(position, sectionName) && sectionName.mCode == 2) {
            mPairs.Next(position, sectionName);
            section = sectionName.mValue;
            inSection = true;
            if (section == "TABLES") {
                ReadTables(position);
                inSection = false;
            } else if (section == "BLOCKS" && !mBlocksFound) {
                IndexBlocks(position);
            } else if (section == "ENTITIES") {
                entities = true;
                mEntitiesStart = position;
                if (mObjectDerivation == 0) {
                    read = ReadEntitiesByLayer(position, *parent);
                } else if (mObjectDerivation == 1) {
                    read = ReadEntitiesByEntity(position, *parent);
                } else {
                    read = ReadBlockEntities(position, *parent, "ENTITIES", nullptr, ToScene(0.0, 0.0, 0.0), true);
                }
                finished = true;
            }
            finished = finished || !mDamage.empty();
        } else if (pair.mCode != kCommentCode) {
            // Between sections only a SECTION or the EOF stands: anything else
            // is a damaged word, and the section it opened would be lost.
            mDamage = "Line " + std::to_string(pair.mLine) + ": pair outside any SECTION: \"" +
                      std::string(pair.mValue) + "\"";
            finished = true;
        }
    }
    mText.clear();
    mScene = nullptr;
    // A block that an insert read may be damaged where the entities are not.
    read = read && mDamage.empty();
    if (read && !mPairs.Error().empty()) {
        // Past the entities: what could not be read changed nothing.
        mMessage += mPairs.Error().c_str();
        mMessage += "\n";
    }
    if (!read) {
        std::string detail = mDamage;
        if (detail.empty()) {
            detail = mPairs.Error().empty() ? std::string("the drawing ends before its end") : mPairs.Error();
        }
        mError.SetErrorWithText(eFILE_CORRUPTED, detail.c_str());
    } else if (parent->GetChildCount() == childrenBefore) {
        // A drawing may hold nothing this reader makes a scene of; its
        // caller must still learn that the scene stayed empty.
        mMessage += entities ? "The drawing holds no scene content: no 3DFACE or polyface POLYLINE in its entities\n"
                             : "The drawing holds no scene content: it has no ENTITIES section\n";
    }
    return read;
}

}  // namespace fbxsdk_2006_11_1
