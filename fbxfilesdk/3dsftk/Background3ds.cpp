#include <fbxfilesdk/3dsftk/Background3ds.h>

#include <fbxfilesdk/3dsftk/Database3ds.h>
#include <fbxfilesdk/3dsftk/RecordSupport3ds.h>

#include <initializer_list>

namespace fbxsdk_2006_11_1 {

using namespace ftk3ds;

namespace {

constexpr std::uint32_t kUseTags[] = {USE_BIT_MAP, USE_SOLID_BGND, USE_V_GRADIENT};

// The colour of the first COLOR_F below holder (found depth-first), then of
// the next ones along its siblings; LIN_COLOR_F chunks likewise replace them.
void ReadColors(Chunk3ds* holder, color3ds* const* colors, int count) {
    for (std::uint32_t tag : {COLOR_F, LIN_COLOR_F}) {
        Chunk3ds* chunk = nullptr;
        FindChunk3ds(holder, tag, &chunk);
        for (int i = 0; i < count && chunk != nullptr && !FtkErrorStops(); ++i) {
            if (const auto* color = DataOf<ColorFData3ds>(chunk)) *colors[i] = FromColorF(*color);
            FindNextChunk3ds(chunk->sibling, tag, &chunk);
        }
    }
}

void AppendColors(Chunk3ds* holder, const color3ds& color) {
    for (std::uint32_t tag : {COLOR_F, LIN_COLOR_F}) {
        Chunk3ds* chunk = nullptr;
        InitChunkAs3ds(&chunk, tag);
        if (FtkErrorStops()) return;
        AddChild3ds(holder, chunk);
        if (auto* data = static_cast<ColorFData3ds*>(InitChunkData3ds(chunk))) *data = ToColorF(color);
    }
}

}  // namespace

void InitBackground3ds(background3ds** background) {
    if (background == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (*background == nullptr) {
        *background = NewZeroed<background3ds>();
        if (*background == nullptr) return;
    }
    FtkFree((*background)->bitmap);
    **background = {};
    (*background)->gradientmidpoint = 0.5f;
}

void ReleaseBackground3ds(background3ds** background) {
    if (background == nullptr || *background == nullptr) return;
    FtkFree((*background)->bitmap);
    FtkFree(*background);
    *background = nullptr;
}

void GetBackground3ds(database3ds* database, background3ds** background) {
    if (database == nullptr || background == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    Chunk3ds* mdata = nullptr;
    FindChunk3ds(database->topchunk, MDATA, &mdata);
    if (mdata == nullptr) return;
    InitBackground3ds(background);
    if (FtkErrorStops()) return;
    background3ds& b = **background;
    if (Chunk3ds* bitmap = FindChild(mdata, BIT_MAP)) {
        const ReadingTree tree(bitmap);
        b.bitmap = StrDup3ds(TextOf(tree.Get()));
    }
    if (Chunk3ds* solid = FindChild(mdata, SOLID_BGND)) {
        const ReadingTree tree(solid);
        color3ds* const colors[] = {&b.solid};
        ReadColors(tree.Get(), colors, 1);
    }
    if (Chunk3ds* gradient = FindChild(mdata, V_GRADIENT)) {
        const ReadingTree tree(gradient);
        if (const auto* midpoint = DataOf<FloatData3ds>(tree.Get())) b.gradientmidpoint = midpoint->value;
        color3ds* const colors[] = {&b.gradient1, &b.gradient2, &b.gradient3};
        ReadColors(tree.Get(), colors, 3);
    }
    if (FindChild(mdata, USE_BIT_MAP) != nullptr) {
        b.used = BackgroundBitmap3ds;
    } else if (FindChild(mdata, USE_SOLID_BGND) != nullptr) {
        b.used = BackgroundSolid3ds;
    } else if (FindChild(mdata, USE_V_GRADIENT) != nullptr) {
        b.used = BackgroundGradient3ds;
    } else {
        b.used = BackgroundNone3ds;
    }
}

void PutBackground3ds(database3ds* database, const background3ds* background) {
    Chunk3ds* top = TopForPut(database, background, PutTarget::MeshOrProject);
    if (top == nullptr) return;
    const background3ds& b = *background;
    if (b.bitmap != nullptr && !NameFits(b.bitmap, 12)) return;
    Chunk3ds* mdata = FindOrAdd(top, MDATA);
    if (FtkErrorStops()) return;
    if (auto* bitmap = ReplaceRecordChunk<TextData3ds>(BIT_MAP, mdata)) {
        bitmap->text = StrDup3ds(b.bitmap != nullptr ? b.bitmap : "");
    }
    if (FtkErrorStops()) return;
    Chunk3ds* solid = nullptr;
    ReplaceChild3ds(mdata, SOLID_BGND, &solid);
    if (FtkErrorStops()) return;
    AppendColors(solid, b.solid);
    auto* midpoint = ReplaceRecordChunk<FloatData3ds>(V_GRADIENT, mdata);
    if (midpoint == nullptr) return;
    midpoint->value = b.gradientmidpoint;
    Chunk3ds* gradient = FindChild(mdata, V_GRADIENT);
    for (const color3ds* color : {&b.gradient1, &b.gradient2, &b.gradient3}) AppendColors(gradient, *color);
    if (FtkErrorStops()) return;
    Chunk3ds* use = nullptr;
    for (std::uint32_t tag : kUseTags) {
        if ((use = FindChild(mdata, tag)) != nullptr) break;
    }
    if (use != nullptr) ClearChunk3ds(use);
    std::uint32_t useTag = 0;
    switch (b.used) {
        case BackgroundSolid3ds: useTag = USE_SOLID_BGND; break;
        case BackgroundGradient3ds: useTag = USE_V_GRADIENT; break;
        case BackgroundBitmap3ds: useTag = USE_BIT_MAP; break;
        default: return;
    }
    if (use != nullptr) {
        use->tag = useTag;
    } else {
        AddChildChunk3ds(useTag, mdata);
    }
}

}  // namespace fbxsdk_2006_11_1
