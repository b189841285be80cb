// Reads the polygonal content of a DXF drawing into a scene: polyface
// polylines and 3D faces become meshes, block references become transformed
// child nodes, colour numbers become Lambert materials. A drawing point
// (x, y, z) becomes the scene point (x, z, -y). Everything else in the
// drawing (lines, arcs, text, the header, other tables) is passed over.
//
// The "OBJECT DERIVATION" option chooses the nodes: 0 one node per layer,
// 1 one node per entity, 2 one node for the whole ENTITIES section.
// "WELD VERTICES" merges equal corners of 3D faces; "REFERENCENODE" puts
// everything under a node "Fbx_Root" that turns it back to Z up.
#ifndef FBXFILESDK_FORMATS_KFBXREADERDXF_H
#define FBXFILESDK_FORMATS_KFBXREADERDXF_H

#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/fbx/KFbxReader.h>
#include <fbxfilesdk/formats/KFbxDxfPairs.h>
#include <fbxfilesdk/scene/KRenamingStrategy.h>

#include <array>
#include <cstdio>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxIO;
class KFbxMesh;
class KFbxNode;
class KFbxSurfaceLambert;

class KFbxReaderDxf : public KFbxReader {
public:
    // The IO object is not used.
    KFbxReaderDxf(KFbxSdkManager& manager, KFbxIO* io);
    ~KFbxReaderDxf() override;

    // Closes a file still open first; "File not opened", with the system's
    // reason, when it cannot be; only regular files are opened.
    bool FileOpen(const char* fileName) override;
    bool OpensRegularFilesOnly() const override;
    // True when nothing was open or the close succeeded.
    bool FileClose() override;
    bool IsFileOpen() override { return mFile != nullptr; }
    // New KFbxStreamOptionsDxfReader options with their defaults; null with
    // "File not opened" without a file.
    KFbxStreamOptions* GetReadOptions() override;
    // Reads the open file into the scene. "File not opened" without a file,
    // "Stream options not set" without DXF reader options; a drawing that
    // ends inside a section, whose lines are no group-code pairs, that holds
    // a pair outside its sections (a damaged SECTION word) or a SECTION
    // inside one (a damaged ENDSEC word), gives false with "File is
    // corrupted" and a line number in the status text, and keeps what was
    // read before. A drawing that reads and makes no node
    // says in the message that it holds no scene content. Entities that cannot be read (bad
    // numbers, vertex numbers outside their polyline, blocks missing or
    // inserting themselves) are left out with a warning in the message, one
    // per line of the file; inserts stop, with a warning, once what they made
    // would cost more than a few tens of MB beyond what the drawing holds.
    bool Read(KFbxScene* scene, KFbxStreamOptions* options) override;

    // The colour of a colour number 1 to 255; rgb is left as it is for
    // other numbers.
    static void ColorIndexToRgb(int color, double rgb[3]);

private:
    struct Face {
        int mCount;
        int mColor;
        std::array<int, 4> mIndices;
    };
    // A cube of the weld distance's side.
    struct Cell {
        long long mX, mY, mZ;
        bool operator==(const Cell& other) const = default;
    };
    struct CellHash {
        std::size_t operator()(const Cell& cell) const noexcept;
    };
    // Points (in scene axes) and faces gathered for one mesh.
    struct FaceSet {
        std::vector<KFbxVector4> mPoints;
        std::vector<Face> mFaces;
        bool mColored = false;
        // The first point that can be welded to, by its cell, for the points
        // before mIndexed.
        std::unordered_map<Cell, int, CellHash> mWeld;
        std::size_t mIndexed = 0;
    };
    // Where an insert puts its block's node: the translation (in scene
    // axes, relative to the outer block's base point), the scale factors
    // and the turn about the up axis in degrees.
    struct Placement {
        KFbxVector4 mInsertion;
        KFbxVector4 mScale;
        double mRotation = 0.0;
    };
    // The pairs of one entity, its group-0 pair first.
    using Entity = std::vector<KFbxDxfPair>;
    using Position = KFbxDxfPairs::Position;

    // The drawing's Z up becomes the scene's Y up.
    static KFbxVector4 ToScene(double x, double y, double z);
    static KFbxVector4 Minus(const KFbxVector4& a, const KFbxVector4& b);
    bool LoadFile();
    // Adds "Line <line>: <text>", and ": "<name>"" after a name, to the
    // message, once per line.
    void Warn(int line, const char* text, std::string_view name = {});
    // The entity that starts at position (at a group-0 pair) into entity, up
    // to the next group-0 pair, where position is left.
    void ReadEntityAt(Position& position, Entity& entity);
    bool PairAt(const Position& position, KFbxDxfPair& pair) { return mPairs.Peek(position, pair); }
    // Whether the pair opens a section, which inside the section named is
    // damage: the section's ENDSEC word is missing or damaged, and reading
    // on would take the next section for this one's. The first such damage
    // is kept for the read's status.
    bool IsSectionInside(const KFbxDxfPair& pair, std::string_view section);
    // The section readers stop at damage, where position is left.
    void ReadTables(Position& position);
    void IndexBlocks(Position& position);
    // Finds the BLOCKS section from position on when no BLOCKS section was
    // met yet, and indexes its blocks.
    void FindBlocks(Position position);
    // The resolved colour of an entity: its own group 62, or the absolute
    // colour of its layer when that is 0, 256 or missing.
    int EntityColor(const Entity& entity) const;
    int LayerColor(std::string_view layer) const;
    std::string_view LayerOf(const Entity& entity) const;
    bool ReadPoint(const Entity& entity, int xCode, KFbxVector4& point) const;
    // Entity readers; each adds to the set.
    void Read3DFace(const Entity& entity, FaceSet& set, const KFbxVector4& offset);
    // Reads the VERTEX and SEQEND records that follow the POLYLINE head and
    // moves position past them.
    void ReadPolyline(const Entity& head, Position& position, FaceSet& set, const KFbxVector4& offset);
    void ReadInsert(const Entity& entity, KFbxNode& parent, const KFbxVector4& offset);
    // Appends the point, or with weld finds an equal one added before; its
    // index.
    int AddPoint(FaceSet& set, const KFbxVector4& point, bool weld);
    static bool CellOf(const KFbxVector4& point, Cell& cell);
    // Walks the entities of a section (named for its damage) from position:
    // each group-0 pair before the ENDSEC or ENDBLK goes to visit(pair),
    // which moves position past its entity and answers nothing to go on or
    // the walk's result. Else true past the section's end, false at EOF, at
    // damage or at the end of the pairs.
    template <class Visit>
    bool WalkEntities(Position& position, std::string_view section, Visit visit);
    // Reads a POLYLINE or 3DFACE at position into setOf(entity) and an INSERT
    // below insertParent, passes over any other entity, and moves position
    // past it; whether it was a POLYLINE or 3DFACE.
    template <class SetOf>
    bool ReadEntity(Position& position, Entity& entity, SetOf setOf, KFbxNode& insertParent,
                    const KFbxVector4& offset);
    // The section readers; false when the section does not end.
    bool ReadEntitiesByLayer(Position& position, KFbxNode& parent);
    bool ReadEntitiesByEntity(Position& position, KFbxNode& parent);
    // The entities from position up to ENDBLK or ENDSEC into one node named
    // name under parent; nested inserts go under the node, or under parent
    // when topLevel. False when the section does not end.
    bool ReadBlockEntities(Position& position, KFbxNode& parent, const char* name, const Placement* placement,
                           const KFbxVector4& offset, bool topLevel);
    KFbxMesh* BuildMesh(const FaceSet& set);
    KFbxSurfaceLambert* MaterialOf(int color);
    KFbxNode* CreateNode(const char* name);
    // Whether another node may be made for an insert; warns once when not.
    bool SpendOnInsert(int line, long long cost);
    static bool IsSectionEnd(const KFbxDxfPair& pair);

    std::FILE* mFile = nullptr;
    KString mFileName;
    std::string mText;
    KFbxDxfPairs mPairs;
    // The scene of the read under way, which gets the materials.
    KFbxScene* mScene = nullptr;
    int mMaterialCounter = 0;
    std::array<KFbxSurfaceLambert*, 256> mColorMaterials{};
    KNumberRenamingStrategy mRenaming;
    int mObjectDerivation = 0;
    bool mWeld = true;
    bool mReferenceNode = false;
    std::map<std::string, int, std::less<>> mLayers;
    // Block name to the position of its BLOCK pair; the first of a name wins.
    std::unordered_map<std::string, Position> mBlocks;
    bool mBlocksFound = false;
    // Where the ENTITIES section's entities start.
    Position mEntitiesStart;
    // The lines already warned about: a block inserted many times warns once.
    std::unordered_set<int> mWarnedLines;
    // The entity buffer of the vertices of a polyline.
    Entity mVertex;
    // Why the drawing is damaged, with the line; empty while it is not.
    std::string mDamage;
    // The blocks being inserted, outermost first.
    std::vector<std::string> mInsertChain;
    // What inserts may still cost (entities walked, points, faces and nodes
    // made, in bytes of memory they take or time they are worth), so that
    // blocks inserting each other many times over cannot multiply a small
    // file into an endless scene.
    long long mInsertBudget = 0;
    bool mBudgetWarned = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
