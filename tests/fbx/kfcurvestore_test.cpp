#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/fbx/KFbx.h>

#include "StoredFormSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <initializer_list>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

constexpr unsigned int kKeyBits = KFCURVE_INTERPOLATION_MASK | KFCURVE_TANGENT_MASK_WITH_OVERRIDES |
                                  KFCURVE_WEIGHTED_ALL;
constexpr double kWeightStep = 1.0 / 9999.0;

std::unique_ptr<KFCurve> ReadCurve(KFbx& file, bool withColor = true) {
    return std::unique_ptr<KFCurve>(KFCurve::FbxRetrieveNew(&file, false, withColor));
}

// Every key record form the writer has, in one curve.
void FillEveryForm(KFCurve& curve) {
    curve.SetValue(7.5f);
    curve.KeySet(0, Seconds(0), 1.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO, 2.5, 0.0);
    curve.KeySet(1, Seconds(0.25), 2.0f, KFCURVE_INTERPOLATION_CONSTANT);
    curve.KeySet(2, Seconds(0.5), 3.0f, KFCURVE_INTERPOLATION_CONSTANT);
    curve.KeySetConstantMode(2, KFCURVE_CONSTANT_NEXT);
    curve.KeySet(3, Seconds(0.75), -1.0f, KFCURVE_INTERPOLATION_LINEAR);
    curve.KeySet(4, Seconds(1), 4.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 1.5, -2.0,
                 KFCURVE_WEIGHTED_ALL, 0.25, 0.75);
    curve.KeySet(5, Seconds(1.25), 5.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER_BREAK, 0.5, 0.25,
                 KFCURVE_WEIGHTED_RIGHT, 0.6);
    curve.KeySetTCB(6, Seconds(1.5), 6.0f, 0.1f, -0.2f, 0.3f);
    curve.KeySet(7, Seconds(1.75), 7.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO);
    curve.KeySet(8, Seconds(2), 7.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO);
    curve.KeySetTangentMode(8, KFCURVE_TANGENT_AUTO | KFCURVE_TANGENT_CLAMP);
    curve.KeySet(9, Seconds(2.25), 9.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO_BREAK, 3.0, 4.0,
                 KFCURVE_WEIGHTED_NEXT_LEFT, KFCURVE_DEFAULT_WEIGHT, 0.4);
    curve.KeySet(10, Seconds(2.5), 10.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 0.0, 0.0);
    curve.SetPreExtrapolation(KFCURVE_EXTRAPOLATION_REPETITION);
    curve.SetPreExtrapolationCount(-1);
    curve.SetPostExtrapolation(KFCURVE_EXTRAPOLATION_MIRROR_REPETITION);
    curve.SetPostExtrapolationCount(3);
    const float rgb[3] = {0.25f, 0.5f, 0.75f};
    curve.SetColor(rgb);
}

void ExpectSameCurve(const KFCurve& expected, const KFCurve& actual) {
    EXPECT_EQ(actual.GetValue(), expected.GetValue());
    EXPECT_EQ(actual.GetPreExtrapolation(), expected.GetPreExtrapolation());
    EXPECT_EQ(actual.GetPreExtrapolationCount(), expected.GetPreExtrapolationCount());
    EXPECT_EQ(actual.GetPostExtrapolation(), expected.GetPostExtrapolation());
    EXPECT_EQ(actual.GetPostExtrapolationCount(), expected.GetPostExtrapolationCount());
    ASSERT_EQ(actual.KeyGetCount(), expected.KeyGetCount());
    for (int i = 0; i < expected.KeyGetCount(); ++i) {
        SCOPED_TRACE("key " + std::to_string(i));
        const KFCurveKey& e = *expected.KeyGetPtr(i);
        const KFCurveKey& a = *actual.KeyGetPtr(i);
        EXPECT_EQ(a.GetTime(), e.GetTime());
        EXPECT_EQ(a.GetValue(), e.GetValue());
        EXPECT_EQ(a.GetInterpolation(), e.GetInterpolation());
        if (e.GetInterpolation() == KFCURVE_INTERPOLATION_CONSTANT) {
            EXPECT_EQ(a.GetConstantMode(), e.GetConstantMode());
        }
        if (e.GetInterpolation() != KFCURVE_INTERPOLATION_CUBIC) continue;
        EXPECT_EQ(a.GetFlags() & kKeyBits, e.GetFlags() & kKeyBits);
        if (e.GetTangentMode() == KFCURVE_TANGENT_TCB) {
            for (int c = 0; c < 3; ++c) EXPECT_EQ(a.GetDataFloat(c), e.GetDataFloat(c));
            continue;
        }
        EXPECT_EQ(a.GetDataFloat(0), e.GetDataFloat(0));
        EXPECT_EQ(a.GetDataFloat(1), e.GetDataFloat(1));
        if (e.GetTangentWeightMode() & KFCURVE_WEIGHTED_RIGHT) {
            EXPECT_EQ(a.GetDataDouble(KFCurveKey::kSlotRightWeight), e.GetDataDouble(KFCurveKey::kSlotRightWeight));
        }
        if (e.GetTangentWeightMode() & KFCURVE_WEIGHTED_NEXT_LEFT) {
            EXPECT_EQ(a.GetDataDouble(KFCurveKey::kSlotNextLeftWeight),
                      e.GetDataDouble(KFCurveKey::kSlotNextLeftWeight));
        }
    }
}

class CurveStoreModeTest : public ::testing::TestWithParam<FieldFileMode> {};

TEST_P(CurveStoreModeTest, EveryKeyFormRoundTrips) {
    KFCurve curve;
    FillEveryForm(curve);
    StoredFile stored(GetParam(), [&](KFbx& file) { EXPECT_TRUE(curve.FbxStore(&file, false, true, false)); });
    const std::unique_ptr<KFCurve> read = ReadCurve(stored.File());
    ASSERT_NE(read, nullptr);
    ExpectSameCurve(curve, *read);
    float rgb[3];
    read->GetColor(rgb);
    EXPECT_EQ(rgb[0], 0.25f);
    EXPECT_EQ(rgb[1], 0.5f);
    EXPECT_EQ(rgb[2], 0.75f);
    EXPECT_EQ(stored.File().GetLastErrorCode(), -1) << stored.File().GetLastErrorText();
}

TEST_P(CurveStoreModeTest, ConvertedAutoTangentsKeepTheCurveShape) {
    KFCurve curve;
    const float values[5] = {0.0f, 2.0f, 1.0f, 3.0f, 3.0f};
    for (int i = 0; i < 5; ++i) {
        curve.KeySet(i, Seconds(0.5 * i), values[i], KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO, 10.0 * i,
                     10.0 * (i + 1));
    }
    curve.KeySet(5, Seconds(2.5), 1.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 1.0, -1.0);
    StoredFile stored(GetParam(), [&](KFbx& file) { curve.FbxStore(&file, false, false, true); });
    const std::unique_ptr<KFCurve> read = ReadCurve(stored.File(), false);
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->KeyGetCount(), 6);
    for (double t = 0.0; t <= 2.5; t += 0.125) {
        EXPECT_NEAR(read->Evaluate(Seconds(t)), curve.Evaluate(Seconds(t)), 1e-4) << t;
    }
}

TEST_P(CurveStoreModeTest, OnlyDefaultWritesTheDefaultAlone) {
    KFCurve curve;
    FillEveryForm(curve);
    StoredFile stored(GetParam(), [&](KFbx& file) { curve.FbxStore(&file, true, true, false); });
    KFbx& file = stored.File();
    EXPECT_FALSE(file.FieldReadBegin("KeyVer"));
    EXPECT_FALSE(file.FieldReadBegin("Color"));
    const std::unique_ptr<KFCurve> read = ReadCurve(file);
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->GetValue(), 7.5f);
    EXPECT_EQ(read->KeyGetCount(), 0);
}

INSTANTIATE_TEST_SUITE_P(AllModes, CurveStoreModeTest,
                         ::testing::Values(FieldFileMode::eBinary, FieldFileMode::eAscii, FieldFileMode::eMemoryBinary,
                                           FieldFileMode::eMemoryAscii),
                         [](const ::testing::TestParamInfo<FieldFileMode>& info) { return ModeName(info.param); });

// Files of both syntaxes, for stored forms that depend on the file's version.
class CurveStoreFileTest : public ::testing::TestWithParam<FieldFileMode> {
protected:
    // A curve read from the fields a body writes, in a file of the version.
    std::unique_ptr<KFCurve> Read(const std::function<void(KFbx&)>& body, int version = 0) {
        StoredFile stored(GetParam(), body, version);
        std::unique_ptr<KFCurve> curve = ReadCurve(stored.File(), false);
        EXPECT_NE(curve, nullptr);
        return curve;
    }
};

// The fields of a curve of an older key version, written as those writers did.
std::function<void(KFbx&)> OldCurve(int keyVersion, int keyCount, const std::function<void(KFbx&)>& keys) {
    return [=](KFbx& file) {
        file.FieldWriteBegin("Default");
        file.FieldWriteD(0.0);
        file.FieldWriteEnd();
        file.FieldWriteBegin("KeyVer");
        file.FieldWriteI(keyVersion);
        file.FieldWriteEnd();
        file.FieldWriteBegin("KeyCount");
        file.FieldWriteI(keyCount);
        file.FieldWriteEnd();
        file.FieldWriteBegin("Key");
        keys(file);
        file.FieldWriteEnd();
    };
}

void Letters(KFbx& file, const char* letters) {
    for (const char* c = letters; *c != '\0'; ++c) file.FieldWriteC(*c);
}

void Doubles(KFbx& file, std::initializer_list<double> values) {
    for (double value : values) file.FieldWriteD(value);
}

// The time, the value and the letters that open a key record.
void KeyStart(KFbx& file, double seconds, double value, const char* letters) {
    file.FieldWriteT(Seconds(seconds));
    file.FieldWriteD(value);
    Letters(file, letters);
}

TEST_P(CurveStoreFileTest, OldSectionsKeepTimesInSeconds) {
    KFCurve curve;
    FillEveryForm(curve);
    StoredFile stored(GetParam(), [&](KFbx& file) { curve.FbxStore(&file); }, 2000);
    KFbx& file = stored.File();
    EXPECT_EQ(file.GetSectionVersion(), 2000);
    StoredFile again(GetParam(), [&](KFbx& out) { curve.FbxStore(&out); }, 2000);
    ASSERT_TRUE(again.File().FieldReadBegin("Key"));
    if (GetParam() == FieldFileMode::eBinary) {
        EXPECT_EQ(again.File().FieldGetValueType(), 'D');
    }
    EXPECT_EQ(again.File().FieldReadD(), 0.0);
    EXPECT_EQ(again.File().FieldReadD(), 1.0);
    const std::unique_ptr<KFCurve> read = ReadCurve(file);
    ASSERT_NE(read, nullptr);
    ExpectSameCurve(curve, *read);
}

TEST_P(CurveStoreFileTest, ConstantModeLetterFromVersion4004) {
    const auto keys = [](KFbx& file) {
        KeyStart(file, 0, 1.0, "Cn");
        KeyStart(file, 1, 2.0, "Cs");
    };
    const std::unique_ptr<KFCurve> v4004 = Read(OldCurve(4004, 2, keys));
    ASSERT_EQ(v4004->KeyGetCount(), 2);
    EXPECT_EQ(v4004->KeyGetConstantMode(0), KFCURVE_CONSTANT_NEXT);
    EXPECT_EQ(v4004->KeyGetConstantMode(1), KFCURVE_CONSTANT_STANDARD);

    const std::unique_ptr<KFCurve> v4003 = Read(OldCurve(4003, 2, [](KFbx& file) {
        KeyStart(file, 0, 1.0, "C");
        KeyStart(file, 1, 2.0, "C");
    }));
    ASSERT_EQ(v4003->KeyGetCount(), 2);
    EXPECT_EQ(v4003->KeyGetInterpolation(1), KFCURVE_INTERPOLATION_CONSTANT);
    EXPECT_EQ(v4003->KeyGetConstantMode(0), KFCURVE_CONSTANT_STANDARD);
}

TEST_P(CurveStoreFileTest, WeightLettersFromVersion4002) {
    const std::unique_ptr<KFCurve> v4001 = Read(OldCurve(4001, 2, [](KFbx& file) {
        KeyStart(file, 0, 1.0, "Us");
        Doubles(file, {0.5, 0.25});
        KeyStart(file, 1, 2.0, "L");
    }));
    ASSERT_EQ(v4001->KeyGetCount(), 2);
    EXPECT_EQ(v4001->KeyGetTangentMode(0), KFCURVE_TANGENT_USER);
    EXPECT_EQ(v4001->KeyGetDataFloat(0, 0), 0.5f);
    EXPECT_EQ(v4001->KeyGetDataFloat(0, 1), 0.25f);
    EXPECT_EQ(v4001->KeyGetInterpolation(1), KFCURVE_INTERPOLATION_LINEAR);

    const std::unique_ptr<KFCurve> v4002 = Read(OldCurve(4002, 2, [](KFbx& file) {
        KeyStart(file, 0, 1.0, "Us");
        Doubles(file, {0.5, 0.25});
        Letters(file, "r");
        file.FieldWriteD(0.5);
        KeyStart(file, 1, 2.0, "L");
    }));
    ASSERT_EQ(v4002->KeyGetCount(), 2);
    EXPECT_EQ(v4002->KeyGetTangentWeightMode(0), KFCURVE_WEIGHTED_RIGHT);
    EXPECT_NEAR(v4002->KeyGetDataDouble(0, KFCurveKey::kSlotRightWeight), 0.5, kWeightStep);
}

TEST_P(CurveStoreFileTest, Version4000AutoKeysCarryTheirLeftValue) {
    const std::unique_ptr<KFCurve> curve = Read(OldCurve(4000, 2, [](KFbx& file) {
        KeyStart(file, 0, 1.0, "Ua");
        file.FieldWriteD(0.75);
        KeyStart(file, 1, 2.0, "Us");
        Doubles(file, {1.0, 2.0});
    }));
    ASSERT_EQ(curve->KeyGetCount(), 2);
    EXPECT_EQ(curve->KeyGetTangentMode(0), KFCURVE_TANGENT_AUTO);
    EXPECT_EQ(curve->KeyGetDataFloat(0, 1), 0.75f);
    EXPECT_EQ(curve->KeyGetTangentMode(1), KFCURVE_TANGENT_USER);
}

TEST_P(CurveStoreFileTest, LegacyBezierKeysBecomeSlopes) {
    const std::unique_ptr<KFCurve> curve = Read(OldCurve(3000, 2, [](KFbx& file) {
        KeyStart(file, 0, 0.0, "Bb");
        Doubles(file, {0.0, 1.0});
        KeyStart(file, 1, 3.0, "Bb");
        Doubles(file, {6.0, 2.0});
    }));
    ASSERT_EQ(curve->KeyGetCount(), 2);
    // (1 - 0) * 3 / 1 and (6 - 3) * -3 / 1; the last key is then repaired to
    // a user key that continues the previous key's left slope.
    EXPECT_EQ(curve->KeyGetTangentMode(0), KFCURVE_TANGENT_USER_BREAK);
    EXPECT_EQ(curve->KeyGetDataFloat(0, 0), 3.0f);
    EXPECT_EQ(curve->KeyGetDataFloat(0, 1), -9.0f);
    EXPECT_EQ(curve->KeyGetInterpolation(1), KFCURVE_INTERPOLATION_CUBIC);
    EXPECT_EQ(curve->KeyGetTangentMode(1), KFCURVE_TANGENT_USER);
    EXPECT_EQ(curve->KeyGetDataFloat(1, 0), -9.0f);
    EXPECT_EQ(curve->KeyGetDataFloat(1, 1), 0.0f);
}

TEST_P(CurveStoreFileTest, LegacyRepairTurnsLinearAfterTcbIntoBrokenUserKey) {
    const std::unique_ptr<KFCurve> curve = Read(OldCurve(3000, 3, [](KFbx& file) {
        KeyStart(file, 0, 0.0, "T");
        for (int i = 0; i < 3; ++i) file.FieldWriteD(0.0);
        KeyStart(file, 1, 1.0, "L");
        KeyStart(file, 2, 3.0, "C");
    }));
    ASSERT_EQ(curve->KeyGetCount(), 3);
    EXPECT_EQ(curve->KeyGetTangentMode(0), KFCURVE_TANGENT_TCB);
    EXPECT_EQ(curve->KeyGetInterpolation(1), KFCURVE_INTERPOLATION_CUBIC);
    EXPECT_EQ(curve->KeyGetTangentMode(1), KFCURVE_TANGENT_USER_BREAK);
    EXPECT_EQ(curve->KeyGetDataFloat(1, 0), 2.0f);
    EXPECT_EQ(curve->KeyGetDataFloat(1, 1), 2.0f);
    EXPECT_EQ(curve->KeyGetInterpolation(2), KFCURVE_INTERPOLATION_CUBIC);
    EXPECT_EQ(curve->KeyGetTangentMode(2), KFCURVE_TANGENT_AUTO);
}

TEST_P(CurveStoreFileTest, LegacyRepairGivesTcbAfterUserKeySlopes) {
    // TCB 0 after a user key: s = (1 - T)/2 [(1 + B)(1 - C) 1/1 + (1 - B)(1 + C) 2/1] = 1.5.
    const std::unique_ptr<KFCurve> curve = Read(OldCurve(3000, 4, [](KFbx& file) {
        KeyStart(file, 0, 0.0, "Hs");
        file.FieldWriteD(0.0);
        KeyStart(file, 1, 1.0, "T");
        for (int i = 0; i < 3; ++i) file.FieldWriteD(0.0);
        KeyStart(file, 2, 2.0, "L");
        KeyStart(file, 3, 4.0, "L");
    }));
    ASSERT_EQ(curve->KeyGetCount(), 4);
    EXPECT_EQ(curve->KeyGetTangentMode(1), KFCURVE_TANGENT_USER_BREAK);
    EXPECT_EQ(curve->KeyGetDataFloat(1, 1), 1.5f);
}

TEST_P(CurveStoreFileTest, KeysOutOfTimeOrderAreDropped) {
    const std::unique_ptr<KFCurve> curve = Read(OldCurve(4005, 3, [](KFbx& file) {
        for (double t : {0.0, 0.0, 1.0}) {
            KeyStart(file, t, t + 1.0, "L");
        }
    }));
    ASSERT_EQ(curve->KeyGetCount(), 2);
    EXPECT_EQ(curve->KeyGetTime(1), Seconds(1));
}

INSTANTIATE_TEST_SUITE_P(BothSyntaxes, CurveStoreFileTest,
                         ::testing::Values(FieldFileMode::eBinary, FieldFileMode::eAscii),
                         [](const ::testing::TestParamInfo<FieldFileMode>& info) { return ModeName(info.param); });

// The values of one field of a binary memory file, as text, to check what was
// written and with which types.
std::string StoredValues(const KFCurve& curve, const char* field) {
    const bool binary = true;
    KFbx file;
    EXPECT_TRUE(file.FileCreate(nullptr, 0, binary));
    curve.FbxStore(&file);
    void* buffer = nullptr;
    int size = 0;
    EXPECT_TRUE(file.FileClose(&buffer, &size));
    const std::string bytes(static_cast<const char*>(buffer), static_cast<std::size_t>(size));
    SdkFree(buffer);
    KFbx reader;
    EXPECT_TRUE(reader.FileOpen(bytes.data(), static_cast<int>(bytes.size()), binary));
    std::string text;
    if (!reader.FieldReadBegin(field)) return "<none>";
    while (reader.FieldGetRemainingValueCount() > 0) {
        const char type = reader.FieldGetValueType();
        if (type == 'C') {
            text += reader.FieldReadC();
        } else if (type == 'L') {
            reader.FieldReadL();
            text += 'T';
        } else if (type == 'I') {
            text += std::to_string(reader.FieldReadI());
        } else {
            text += std::to_string(reader.FieldReadD()).substr(0, 4);
        }
        text += ' ';
    }
    return text;
}

TEST(CurveStoreWriteTest, WritesTheDocumentedRecords) {
    {
        KFCurve empty;
        EXPECT_EQ(StoredValues(empty, "KeyVer"), "<none>");
        EXPECT_NE(StoredValues(empty, "Color"), "<none>");

        KFCurve autoKeys;
        autoKeys.KeySet(0, Seconds(0), 1.0f);
        autoKeys.KeySet(1, Seconds(1), 1.0f);
        autoKeys.KeySetTangentMode(1, KFCURVE_TANGENT_AUTO | KFCURVE_TANGENT_CLAMP);
        EXPECT_EQ(StoredValues(autoKeys, "KeyVer"), "4005 ");
        EXPECT_EQ(StoredValues(autoKeys, "Key"), "T 1.00 U a n T 1.00 U a c ");
        EXPECT_EQ(StoredValues(autoKeys, "Pre-Extrapolation"), "<none>");

        KFCurve weighted;
        weighted.KeySet(0, Seconds(0), 1.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_USER, 0.5, 0.25,
                        KFCURVE_WEIGHTED_ALL, 0.5, 0.75);
        EXPECT_EQ(StoredValues(weighted, "Key"), "T 1.00 U s 0.50 0.25 a 0.49 0.74 ");
    }
}

TEST(CurveStoreWriteTest, CubicKeysOfNoKnownTangentModeAreWrittenAsTheSlopesTheCurveUses) {
    KFCurve curve;
    curve.KeySet(0, Seconds(0), 1.0f, KFCURVE_INTERPOLATION_CUBIC, 0);
    curve.KeySet(1, Seconds(1), 3.0f, KFCURVE_INTERPOLATION_CUBIC, 0);
    curve.KeySet(2, Seconds(2), 2.0f, KFCURVE_INTERPOLATION_CUBIC, KFCURVE_TANGENT_AUTO);
    const std::string written = StoredValues(curve, "Key");
    EXPECT_EQ(written.substr(0, 11), "T 1.00 U s ") << written;
    EXPECT_NE(written.find("T 3.00 U s "), std::string::npos) << written;
    for (const FieldFileMode mode : {FieldFileMode::eBinary, FieldFileMode::eAscii}) {
        StoredFile stored(mode, [&](KFbx& file) { EXPECT_TRUE(curve.FbxStore(&file, false, true, false)); });
        const std::unique_ptr<KFCurve> read = ReadCurve(stored.File());
        ASSERT_NE(read, nullptr);
        ASSERT_EQ(read->KeyGetCount(), 3) << "every written key reads back";
        for (double t = 0.0; t <= 2.0; t += 0.25) {
            EXPECT_NEAR(read->Evaluate(Seconds(t)), curve.Evaluate(Seconds(t)), 1e-5) << t;
        }
    }
}

TEST(CurveStoreWriteTest, RepetitionWithoutLimitIsStored) {
    KFCurve curve;
    curve.KeySet(0, Seconds(0), 1.0f);
    curve.SetPreExtrapolation(KFCURVE_EXTRAPOLATION_REPETITION);
    curve.SetPreExtrapolationCount(-1);
    KFbx file;
    ASSERT_TRUE(file.FileCreate(nullptr, 0, true));
    curve.FbxStore(&file);
    void* buffer = nullptr;
    int size = 0;
    ASSERT_TRUE(file.FileClose(&buffer, &size));
    KFbx reader;
    ASSERT_TRUE(reader.FileOpen(buffer, size, true));
    SdkFree(buffer);
    ASSERT_TRUE(reader.FieldReadBegin("Pre-Extrapolation"));
    ASSERT_TRUE(reader.FieldReadBlockBegin());
    EXPECT_EQ(reader.FieldReadCDefault("Type", '?'), 'R');
    EXPECT_EQ(reader.FieldReadIDefault("Repetition", 0), -1);
    reader.FieldReadBlockEnd();
    reader.FieldReadEnd();
    EXPECT_FALSE(reader.FieldReadBegin("Post-Extrapolation"));
}

void CountEvents(KFCurve*, KFCurveEvent*, void* count) { ++*static_cast<int*>(count); }

TEST(CurveStoreReadTest, ReadingTellsNoCallbackAndKeepsTheirState) {
    KFCurve source;
    FillEveryForm(source);
    StoredFile stored(FieldFileMode::eMemoryBinary, [&](KFbx& file) { source.FbxStore(&file); });
    KFCurve target;
    target.KeySet(0, Seconds(5), 1.0f);
    int events = 0;
    target.CallbackRegister(&CountEvents, &events);
    target.CallbackEnable(false);
    EXPECT_EQ(KFCurve::FbxRetrieveIntoCurve(&stored.File(), &target, false, true), &target);
    EXPECT_EQ(events, 0);
    target.CallbackEnable(true);
    EXPECT_EQ(events, 0);
    ExpectSameCurve(source, target);
    // Enabled callbacks stay enabled.
    target.KeySetValue(0, 2.0f);
    EXPECT_EQ(events, 1);
}

TEST(CurveStoreReadTest, MissingDefaultReadsNothing) {
    StoredFile stored(FieldFileMode::eMemoryAscii, [](KFbx& file) { file.WriteStringField("Other", "x"); });
    KFCurve curve;
    EXPECT_EQ(KFCurve::FbxRetrieveIntoCurve(&stored.File(), &curve, false, false), nullptr);
    EXPECT_EQ(KFCurve::FbxRetrieveNew(nullptr), nullptr);
    EXPECT_TRUE(stored.File().FieldReadBegin("Other"));
}

// Reads the curve of a hand-made "Key" field in both memory syntaxes.
void ForBothSyntaxes(const std::function<void(KFbx&)>& body, const std::function<void(const KFCurve*)>& check) {
    for (FieldFileMode mode : {FieldFileMode::eMemoryBinary, FieldFileMode::eMemoryAscii}) {
        SCOPED_TRACE(ModeName(mode));
        StoredFile stored(mode, body);
        const std::unique_ptr<KFCurve> curve = ReadCurve(stored.File());
        check(curve.get());
    }
}

TEST(CurveStoreBadInputTest, CountsBeyondTheValuesAreNotTrusted) {
    ForBothSyntaxes(OldCurve(4005, 2000000000,
                             [](KFbx& file) {
                                 KeyStart(file, 0, 1.0, "L");
                                 file.FieldWriteT(Seconds(1));
                                 file.FieldWriteD(2.0);
                             }),
                    [](const KFCurve* curve) {
                        ASSERT_NE(curve, nullptr);
                        EXPECT_EQ(curve->KeyGetCount(), 1);
                    });
}

TEST(CurveStoreBadInputTest, UnknownLettersEndTheKeys) {
    ForBothSyntaxes(OldCurve(4005, 3,
                             [](KFbx& file) {
                                 KeyStart(file, 0, 1.0, "L");
                                 KeyStart(file, 1, 2.0, "Ux");
                                 file.FieldWriteD(2.0);
                                 KeyStart(file, 2, 2.0, "L");
                             }),
                    [](const KFCurve* curve) {
                        ASSERT_NE(curve, nullptr);
                        EXPECT_EQ(curve->KeyGetCount(), 1);
                    });
}

TEST(CurveStoreBadInputTest, BinaryValuesOfTheWrongTypeDropTheirKey) {
    StoredFile stored(FieldFileMode::eMemoryBinary, OldCurve(4005, 3, [](KFbx& file) {
                          file.FieldWriteT(Seconds(0));
                          file.FieldWriteC('v');  // a value that is no number
                          Letters(file, "L");
                          file.FieldWriteI(77);  // stray value before a time
                          KeyStart(file, 1, 2.0, "L");
                          file.FieldWriteT(Seconds(2));
                          file.FieldWriteD(3.0);
                          file.FieldWriteD(4.0);  // no interpolation letter
                      }));
    const std::unique_ptr<KFCurve> curve = ReadCurve(stored.File());
    ASSERT_NE(curve, nullptr);
    ASSERT_EQ(curve->KeyGetCount(), 1);
    EXPECT_EQ(curve->KeyGetTime(0), Seconds(1));
    EXPECT_EQ(curve->KeyGetValue(0), 2.0f);
}

TEST(CurveStoreBadInputTest, MissingFieldsGiveDefaults) {
    ForBothSyntaxes(
        [](KFbx& file) {
            file.FieldWriteBegin("Default");
            file.FieldWriteEnd();
            file.FieldWriteBegin("KeyCount");
            file.FieldWriteI(3);
            file.FieldWriteEnd();
            file.FieldWriteBegin("Post-Extrapolation");
            file.FieldWriteBlockBegin();
            file.FieldWriteBegin("Type");
            file.FieldWriteC('Q');
            file.FieldWriteEnd();
            file.FieldWriteBlockEnd();
            file.FieldWriteEnd();
            file.FieldWriteBegin("Color");
            file.FieldWriteD(0.5);
            file.FieldWriteEnd();
        },
        [](const KFCurve* curve) {
            ASSERT_NE(curve, nullptr);
            EXPECT_EQ(curve->GetValue(), 0.0f);
            EXPECT_EQ(curve->KeyGetCount(), 0);
            // An unknown mode would hold nothing sensible: it reads as constant.
            EXPECT_EQ(curve->GetPostExtrapolation(), KFCURVE_EXTRAPOLATION_CONSTANT);
            EXPECT_EQ(curve->GetPostExtrapolationCount(), 0);
            float rgb[3];
            curve->GetColor(rgb);
            EXPECT_EQ(rgb[0], 1.0f);
        });
}

TEST(CurveStoreBadInputTest, RandomKeyValuesNeverBreakTheReader) {
    std::mt19937 random(2006);
    const char letters[] = "CALUZBHIORTsbdpqtanlrc0x";
    for (int round = 0; round < 300; ++round) {
        const int version = std::vector<int>{3000, 4000, 4002, 4004, 4005}[random() % 5];
        const int values = static_cast<int>(random() % 40);
        const std::uint32_t seed = random();
        ForBothSyntaxes(OldCurve(version, static_cast<int>(random() % 20),
                                 [&](KFbx& file) {
                                     std::mt19937 local(seed);
                                     for (int v = 0; v < values; ++v) {
                                         switch (local() % 5) {
                                             case 0: file.FieldWriteC(letters[local() % (sizeof letters - 1)]); break;
                                             case 1: file.FieldWriteD(static_cast<double>(local() % 7) - 3.0); break;
                                             case 2: file.FieldWriteT(KTime(static_cast<long long>(local() % 5) * 1000)); break;
                                             case 3: file.FieldWriteI(static_cast<int>(local())); break;
                                             default: file.FieldWriteS("text"); break;
                                         }
                                     }
                                 }),
                        [](const KFCurve* curve) {
                            ASSERT_NE(curve, nullptr);
                            for (int i = 1; i < curve->KeyGetCount(); ++i) {
                                EXPECT_LT(curve->KeyGetTime(i - 1), curve->KeyGetTime(i));
                            }
                        });
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
