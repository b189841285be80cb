// Effects into the set-ups of materials, and COLLADA materials into
// materials made from their effect's. Only the common profile is read; its
// shading element chooses the material's class: phong and blinn a Phong,
// lambert and constant a Lambert, any other a plain material whose channels
// become properties of its own.
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

enum ShadingKind { kPhong = 0, kLambert = 1, kGeneric = 2 };

enum class ChannelValue { kColor, kFloat, kUnsupported };

// How one channel element of a shading element is read.
struct ChannelRule {
    const char* mChannel;
    ChannelValue mValue;
    // The property the value goes to.
    const char* mProperty;
    // Set to 1.0 together with the colour; null for none.
    const char* mFactor;
    // The layer element type the channel's textures go to; -1 for none.
    int mTextureChannel;
};

constexpr int kNoTextures = -1;

constexpr ChannelRule kPhongRules[] = {
    {"emission", ChannelValue::kColor, "EmissiveColor", "EmissiveFactor", KFbxLayerElement::eEMISSIVE_TEXTURES},
    {"ambient", ChannelValue::kColor, "AmbientColor", "AmbientFactor", KFbxLayerElement::eAMBIENT_TEXTURES},
    {"diffuse", ChannelValue::kColor, "DiffuseColor", "DiffuseFactor", KFbxLayerElement::eDIFFUSE_TEXTURES},
    {"specular", ChannelValue::kColor, "SpecularColor", "SpecularFactor", KFbxLayerElement::eSPECULAR_TEXTURES},
    {"shininess", ChannelValue::kFloat, "ShininessExponent", nullptr, kNoTextures},
    {"reflective", ChannelValue::kColor, "ReflectionColor", nullptr, KFbxLayerElement::eREFLECTION_TEXTURES},
    {"reflectivity", ChannelValue::kFloat, "ReflectionFactor", nullptr, kNoTextures},
    {"transparency", ChannelValue::kFloat, "TransparencyFactor", nullptr, kNoTextures},
    {"transparent", ChannelValue::kColor, "TransparentColor", nullptr, KFbxLayerElement::eTRANSPARENT_TEXTURES},
    {"index_of_refraction", ChannelValue::kUnsupported, nullptr, nullptr, kNoTextures},
};

constexpr ChannelRule kLambertRules[] = {
    {"emission", ChannelValue::kColor, "EmissiveColor", "EmissiveFactor", KFbxLayerElement::eEMISSIVE_TEXTURES},
    {"ambient", ChannelValue::kColor, "AmbientColor", "AmbientFactor", KFbxLayerElement::eAMBIENT_TEXTURES},
    {"diffuse", ChannelValue::kColor, "DiffuseColor", "DiffuseFactor", KFbxLayerElement::eDIFFUSE_TEXTURES},
    {"transparency", ChannelValue::kFloat, "TransparencyFactor", nullptr, kNoTextures},
    {"transparent", ChannelValue::kColor, "TransparentColor", nullptr, KFbxLayerElement::eTRANSPARENT_TEXTURES},
    {"reflective", ChannelValue::kUnsupported, nullptr, nullptr, kNoTextures},
    {"reflectivity", ChannelValue::kUnsupported, nullptr, nullptr, kNoTextures},
    {"index_of_refraction", ChannelValue::kUnsupported, nullptr, nullptr, kNoTextures},
};

constexpr ChannelRule kGenericRules[] = {
    {"emission", ChannelValue::kColor, "EmissiveColor", nullptr, KFbxLayerElement::eEMISSIVE_TEXTURES},
    {"ambient", ChannelValue::kColor, "AmbientColor", nullptr, KFbxLayerElement::eAMBIENT_TEXTURES},
    {"diffuse", ChannelValue::kColor, "DiffuseColor", nullptr, KFbxLayerElement::eDIFFUSE_TEXTURES},
    {"specular", ChannelValue::kColor, "SpecularColor", nullptr, KFbxLayerElement::eSPECULAR_TEXTURES},
    {"shininess", ChannelValue::kFloat, "ShininessExponent", nullptr, kNoTextures},
    {"transparency", ChannelValue::kFloat, "TransparencyFactor", nullptr, kNoTextures},
    {"transparent", ChannelValue::kUnsupported, nullptr, nullptr, kNoTextures},
    {"reflective", ChannelValue::kUnsupported, nullptr, nullptr, kNoTextures},
    {"reflectivity", ChannelValue::kUnsupported, nullptr, nullptr, kNoTextures},
    {"index_of_refraction", ChannelValue::kUnsupported, nullptr, nullptr, kNoTextures},
};

// The rule for a channel of the kind; null for a channel the kind passes over.
const ChannelRule* FindRule(int kind, const char* channel) {
    const auto find = [channel](const auto& rules) -> const ChannelRule* {
        for (const ChannelRule& rule : rules) {
            if (rule.mChannel[0] == channel[0] && std::strcmp(rule.mChannel, channel) == 0) {
                return &rule;
            }
        }
        return nullptr;
    };
    return kind == kPhong ? find(kPhongRules) : kind == kLambert ? find(kLambertRules) : find(kGenericRules);
}

// The shading element of a common technique: its first element after an
// optional asset.
xmlNode* FindShadingElement(const xmlNode* technique) {
    for (xmlNode* child : ChildElements(technique)) {
        if (!IsNamed(child, "asset")) {
            return child;
        }
    }
    return nullptr;
}

bool SameNoCase(const char* name, const char* model) { return KString(name).CompareNoCase(model) == 0; }

}  // namespace

void KFbxReaderColladaPass::WarnUnsupportedMaterialParameter(const char* name) {
    WarningOnce(name, KString("Material parameter not supported: ") + name);
}

bool KFbxReaderColladaPass::ImportEffect(xmlNode* effect) {
    const KString id = GetAttribute(effect, "id");
    auto material = std::make_shared<ColladaSteps<KFbxSurfaceMaterial>>();
    xmlNode* profile = FindChild(effect, "profile_COMMON");
    if (profile == nullptr) {
        // Materials of the effect still resolve, to a default material.
        Warning(KString("no common profile found for library ") + id);
        mEffects.Add(id, ColladaEffect{kLambert, id, std::move(material)});
        return true;
    }
    xmlNode* technique = FindChild(profile, "technique");
    xmlNode* shading = FindShadingElement(technique);
    if (shading == nullptr) {
        return Error(KString("no shading technique found in the common profile of effect ") + id);
    }
    const char* model = GetName(shading);
    int kind = kGeneric;
    if (SameNoCase(model, "phong") || SameNoCase(model, "blinn")) {
        material->Then([](KFbxSurfaceMaterial& made) {
            const double none = 0.0;
            static_cast<KFbxSurfacePhong&>(made).GetReflectionFactor().Set(&none, eFbxValueDouble);
        });
        kind = kPhong;
    } else if (SameNoCase(model, "lambert") || SameNoCase(model, "constant")) {
        if (SameNoCase(model, "constant")) {
            // A constant surface shows its emission only: light does not reach it.
            material->Then([](KFbxSurfaceMaterial& made) {
                const double none = 0.0;
                auto& lambert = static_cast<KFbxSurfaceLambert&>(made);
                lambert.GetAmbientFactor().Set(&none, eFbxValueDouble);
                lambert.GetDiffuseFactor().Set(&none, eFbxValueDouble);
            });
        }
        kind = kLambert;
    } else {
        material->Then([shadingModel = KString(model)](KFbxSurfaceMaterial& made) {
            made.GetShadingModel().Set(&shadingModel, eFbxValueString);
        });
    }
    ImportEffectChannels(shading, *material, id, kind);
    ImportTransparency(shading, *material, kind);
    mEffects.Add(id, ColladaEffect{kind, id, std::move(material)});
    return true;
}

void KFbxReaderColladaPass::ImportEffectChannels(xmlNode* shading, ColladaSteps<KFbxSurfaceMaterial>& material,
                                                 const KString& effectId, int kind) {
    for (xmlNode* channel : ChildElements(shading)) {
        const ChannelRule* rule = FindRule(kind, GetName(channel));
        if (rule == nullptr) {
            continue;
        }
        if (rule->mValue == ChannelValue::kUnsupported) {
            WarnUnsupportedMaterialParameter(rule->mChannel);
            continue;
        }
        SetChannelValue(channel, material, kind);
        if (rule->mTextureChannel == kNoTextures) {
            continue;
        }
        std::vector<xmlNode*> textures;
        FindChildren(channel, "texture", textures);
        for (xmlNode* texture : textures) {
            ImportTexture(texture, effectId, rule->mTextureChannel);
        }
    }
}

void KFbxReaderColladaPass::SetChannelValue(xmlNode* channel, ColladaSteps<KFbxSurfaceMaterial>& material, int kind) {
    const ChannelRule* rule = FindRule(kind, GetName(channel));
    const bool color = rule->mValue == ChannelValue::kColor;
    xmlNode* valueElement = FindChild(channel, color ? "color" : "float");
    if (valueElement == nullptr) {
        return;
    }
    const ElementText text(valueElement);
    // The property of the channel: a plain material's are its own.
    const auto property = [rule, kind, color](KFbxSurfaceMaterial& made) {
        return kind == kGeneric ? KFbxProperty::Create(&made, rule->mProperty,
                                                       color ? gKFbxDataTypeColor : gKFbxDataTypeNumber, "", false)
                                : made.FindProperty(rule->mProperty);
    };
    if (!color) {
        const char* cursor = text.Get();
        const double value = ParseFloat(cursor);
        material.Then([property, value](KFbxSurfaceMaterial& made) { property(made).Set(&value, eFbxValueDouble); });
        return;
    }
    KFbxColor value = ParseColor(text.Get());
    if (kind == kGeneric) {
        // Only the lit models take colours beyond [0, 1] as they come.
        value = KFbxColor(value.mRed, value.mGreen, value.mBlue, value.mAlpha);
    }
    const fbxDouble3 rgb = {value.mRed, value.mGreen, value.mBlue};
    material.Then([property, rgb, rule](KFbxSurfaceMaterial& made) {
        if (property(made).Set(&rgb, eFbxValueDouble3) && rule->mFactor != nullptr) {
            const double full = 1.0;
            made.FindProperty(rule->mFactor).Set(&full, eFbxValueDouble);
        }
    });
}

void KFbxReaderColladaPass::ImportTransparency(xmlNode* shading, ColladaSteps<KFbxSurfaceMaterial>& material,
                                               int kind) {
    xmlNode* transparent = FindChild(shading, "transparent");
    xmlNode* transparency = FindChild(shading, "transparency");
    if (transparent == nullptr && transparency == nullptr) {
        return;
    }
    // The schema's defaults: a transparent colour of alpha 1 (a texture
    // gives its own alpha per texel), transparency 1, mode A_ONE.
    double amount = 1.0;
    if (xmlNode* value = transparency != nullptr ? FindChild(transparency, "float") : nullptr) {
        const ElementText text(value);
        const char* cursor = text.Get();
        amount = ParseFloat(cursor);
    }
    KFbxColor color(1.0, 1.0, 1.0, 1.0);
    if (xmlNode* value = transparent != nullptr ? FindChild(transparent, "color") : nullptr) {
        const ElementText text(value);
        color = ParseColor(text.Get());
    }
    if (!std::isfinite(amount) || !std::isfinite(color.mAlpha)) {
        amount = 1.0;
        color.mAlpha = 1.0;
    }
    // The scene's transparency is the transparent colour times the factor:
    // under RGB_ZERO the document's pair is just that; under A_ONE the
    // opacity is alpha times transparency, whatever the colour.
    double factor = amount;
    fbxDouble3 rgb = {color.mRed, color.mGreen, color.mBlue};
    if (transparent == nullptr || GetAttribute(transparent, "opaque") != "RGB_ZERO") {
        factor = 1.0 - std::clamp(color.mAlpha * amount, 0.0, 1.0);
        rgb = {1.0, 1.0, 1.0};
    }
    material.Then([kind, rgb, factor](KFbxSurfaceMaterial& made) {
        if (kind != kGeneric) {
            made.FindProperty("TransparentColor").Set(&rgb, eFbxValueDouble3);
        }
        KFbxProperty factorProperty = made.FindProperty("TransparencyFactor");
        if (!factorProperty.IsValid()) {
            factorProperty = KFbxProperty::Create(&made, "TransparencyFactor", gKFbxDataTypeNumber, "", false);
        }
        factorProperty.Set(&factor, eFbxValueDouble);
    });
}

bool KFbxReaderColladaPass::ImportMaterial(xmlNode* material) {
    const KString id = GetAttribute(material, "id");
    xmlNode* instance = FindChild(material, "instance_effect");
    if (instance == nullptr) {
        return Error(KString("no instance effect found for library ") + id);
    }
    const KString url = GetAttribute(instance, "url");
    const KString effectId = GetReferenceId(instance, "url");
    ColladaEffect* effect = mEffects.Find(effectId);
    if (effect == nullptr) {
        return Error(KString("Effect not found: ") + url);
    }
    const char* name = effect->mName.Buffer();
    KFbxSurfaceMaterial* made = nullptr;
    if (effect->mFirstMaterial != nullptr) {
        // A copy of the first, which is as the effect set it up but for its
        // name: the copy takes the effect's.
        made = effect->mFirstMaterial->Clone(2);
        if (made != nullptr) {
            made->SetInitialName(name);
        }
    } else {
        made = effect->mKind == kPhong     ? KFbxSurfacePhong::Create(&mManager, name)
               : effect->mKind == kLambert ? KFbxSurfaceLambert::Create(&mManager, name)
                                           : KFbxSurfaceMaterial::Create(&mManager, name);
        if (made != nullptr) {
            effect->mSetUp->ApplyTo(*made);
            effect->mFirstMaterial = made;
        }
    }
    if (made == nullptr) {
        return Error(KString("could not copy the material of effect ") + url);
    }
    made->SetName(id.Buffer(), false);
    mMaterials.Add(id, made);
    // Every material of the effect shows the effect's textures.
    if (const std::shared_ptr<ColladaTextureBindings>* bindings = mTextureBindings.Find(effectId)) {
        mTextureBindings.Add(id, *bindings);
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
