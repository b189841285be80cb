#include <fbxfilesdk/collada/ColladaXmlWrite.h>

#include <fbxfilesdk/collada/ColladaXmlLookup.h>

#include <charconv>
#include <initializer_list>
#include <cmath>
#include <cstring>
#include <vector>

namespace fbxsdk_2006_11_1::ColladaXml {

namespace {

const xmlChar* AsXml(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

// Room for "%f" of the largest double: 309 digits, sign, point, six decimals.
constexpr std::size_t kNumberTextSize = 330;
// A name that would take a line of names past this many characters starts a new line.
constexpr int kNameLineLength = 70;

KString ArrayIdOf(const char* id) { return KString(id != nullptr ? id : "") + "-array"; }
KString ReferenceTo(const KString& id) { return KString("#") + id; }

xmlNode* AddSource(xmlNode* parent, const char* id) {
    xmlNode* source = AddElement(parent, "source");
    if (id != nullptr) {
        SetAttribute(source, "id", id);
    }
    return source;
}

// An accessor with one param of the type per name, as many as its stride.
void AddNamedAccessor(xmlNode* parent, const char* arrayReference, int count, std::span<const char* const> names,
                      const char* type) {
    xmlNode* accessor = AddAccessor(parent, arrayReference, count, static_cast<int>(names.size()), names[0], type);
    for (std::size_t index = 1; index < names.size(); ++index) {
        xmlNode* param = AddElement(accessor, "param");
        SetAttribute(param, "name", names[index]);
        SetAttribute(param, "type", type);
    }
}

// The values separated by single blanks, and a line feed.
void AppendLine(std::string& text, std::initializer_list<double> values) {
    const char* separator = "";
    for (const double value : values) {
        text += separator;
        AppendNumber(text, value);
        separator = " ";
    }
    text += '\n';
}

// A source of vectors: their array, and the accessor that names their axes.
template <class Vector>
xmlNode* AddVectorSource(xmlNode* parent, const char* id, std::span<const Vector> vectors,
                         void (*addArray)(xmlNode*, const char*, std::span<const Vector>),
                         void (*addAccessor)(xmlNode*, const char*, int)) {
    xmlNode* source = AddSource(parent, id);
    const KString arrayId = ArrayIdOf(id);
    addArray(source, arrayId.Buffer(), vectors);
    addAccessor(source, ReferenceTo(arrayId).Buffer(), static_cast<int>(vectors.size()));
    return source;
}

// Every matrix's sixteen values, in COLLADA order or as stored.
using NumberAppender = void (*)(std::string&, double);

std::string MatrixValuesText(const KgeMatrixArray& matrices, bool affineInColladaOrder, int& valueCount,
                             NumberAppender append) {
    std::string text;
    valueCount = 0;
    for (int index = 0; index < matrices.GetCount(); ++index) {
        const double* stored = matrices.GetValues(index);
        double values[16];
        for (int k = 0; k < 16; ++k) {
            values[k] = affineInColladaOrder ? stored[4 * (k % 4) + k / 4] : stored[k];
        }
        if (affineInColladaOrder) {
            values[12] = values[13] = values[14] = 0.0;
            values[15] = 1.0;
        }
        for (const double value : values) {
            text += valueCount % 16 == 0 ? '\n' : ' ';
            append(text, value);
            ++valueCount;
        }
    }
    text += '\n';
    return text;
}

xmlNode* AddMatrixSourceOf(xmlNode* parent, const char* id, const KgeMatrixArray& matrices, bool affine,
                           NumberAppender append = &AppendNumber) {
    xmlNode* source = AddSource(parent, id);
    const KString arrayId = ArrayIdOf(id);
    int valueCount = 0;
    const std::string text = MatrixValuesText(matrices, affine, valueCount, append);
    AddArray(source, "float", text.c_str(), arrayId.Buffer(), valueCount);
    xmlNode* common = AddElement(source, "technique_common");
    AddAccessor(common, ReferenceTo(arrayId).Buffer(), matrices.GetCount(), 16, nullptr, "float4x4");
    return source;
}

}  // namespace

double FiniteOrZero(double value, bool& notFinite) {
    if (std::isfinite(value)) {
        return value;
    }
    notFinite = true;
    return 0.0;
}

void AppendNumber(std::string& text, double value) {
    if (!std::isfinite(value)) {
        text += std::isnan(value) ? "NaN" : value < 0.0 ? "-INF" : "INF";
        return;
    }
    char buffer[kNumberTextSize];
    const std::to_chars_result result =
        std::to_chars(buffer, buffer + sizeof(buffer), value, std::chars_format::fixed, 6);
    text.append(buffer, result.ptr);
}

void AppendInteger(std::string& text, int value) {
    char digits[16];
    text.append(digits, std::to_chars(digits, digits + sizeof(digits), value).ptr);
}

KString FormatInteger(int value) {
    std::string text;
    AppendInteger(text, value);
    return KString(text.c_str());
}

KString FormatNumber(double value) {
    std::string text;
    AppendNumber(text, value);
    return KString(text.c_str());
}

void AppendExactNumber(std::string& text, double value) {
    if (!std::isfinite(value)) {
        AppendNumber(text, value);
        return;
    }
    char buffer[kNumberTextSize];
    const std::to_chars_result result = std::to_chars(buffer, buffer + sizeof(buffer), value);
    text.append(buffer, result.ptr);
}

namespace {

KString FormatMatrixWith(const KgeMatrix& matrix, NumberAppender append) {
    std::string text;
    for (int k = 0; k < 16; ++k) {
        if (k > 0) {
            text += ' ';
        }
        append(text, matrix[k % 4][k / 4]);
    }
    text += '\n';
    return KString(text.c_str());
}

}  // namespace

KString FormatMatrix(const KgeMatrix& matrix) { return FormatMatrixWith(matrix, &AppendNumber); }

KString FormatExactMatrix(const KgeMatrix& matrix) { return FormatMatrixWith(matrix, &AppendExactNumber); }

xmlNode* AddElement(xmlNode* parent, const char* name, const char* text) {
    return xmlNewTextChild(parent, nullptr, AsXml(name), text != nullptr ? AsXml(text) : nullptr);
}

void SetAttribute(xmlNode* element, const char* name, const char* value) {
    if (element != nullptr) {
        xmlSetProp(element, AsXml(name), AsXml(value != nullptr ? value : ""));
    }
}

void SetAttribute(xmlNode* element, const char* name, int value) {
    char text[16];
    *std::to_chars(text, text + sizeof(text) - 1, value).ptr = '\0';
    SetAttribute(element, name, text);
}

xmlNode* AddTechnique(xmlNode* parent, const char* profile) {
    xmlNode* technique = AddElement(parent, "technique");
    SetAttribute(technique, "profile", profile);
    return technique;
}

void AddInput(xmlNode* parent, const char* semantic, const char* sourceId, int offset, int set) {
    xmlNode* input = AddElement(parent, "input");
    SetAttribute(input, "semantic", semantic);
    if (offset != -1) {
        SetAttribute(input, "offset", offset);
    }
    if (set != -1) {
        SetAttribute(input, "set", set);
    }
    if (sourceId != nullptr) {
        SetAttribute(input, "source", ReferenceTo(KString(sourceId)).Buffer());
    }
}

xmlNode* AddFloatElement(xmlNode* parent, const char* name, double value) {
    xmlNode* outer = AddElement(parent, name);
    xmlNode* number = AddElement(outer, "float", FormatNumber(value).Buffer());
    SetAttribute(number, "sid", name);
    return outer;
}

xmlNode* AddColor(xmlNode* parent, const char* name, const KFbxColor& color) {
    std::string text;
    for (const double value : {color.mRed, color.mGreen, color.mBlue, 1.0}) {
        if (!text.empty()) {
            text += ' ';
        }
        AppendNumber(text, value);
    }
    xmlNode* outer = AddElement(parent, name);
    xmlNode* inner = AddElement(outer, "color", text.c_str());
    SetAttribute(inner, "sid", name);
    return outer;
}

xmlNode* AddArray(xmlNode* parent, const char* paramType, const char* text, const char* id, int count) {
    const KString typed = GetArrayElementName(paramType);
    xmlNode* array = AddElement(parent, typed.GetLen() > 0 ? typed.Buffer() : "array", text);
    if (typed.GetLen() == 0) {
        SetAttribute(array, "type", paramType);
    }
    SetAttribute(array, "id", id);
    SetAttribute(array, "count", count);
    return array;
}

xmlNode* AddAccessor(xmlNode* parent, const char* sourceReference, int count, int stride, const char* paramName,
                     const char* paramType) {
    xmlNode* accessor = AddElement(parent, "accessor");
    SetAttribute(accessor, "source", sourceReference);
    SetAttribute(accessor, "count", count);
    if (stride != 1) {
        SetAttribute(accessor, "stride", stride);
    }
    xmlNode* param = AddElement(accessor, "param");
    if (paramName != nullptr && paramName[0] != '\0') {
        SetAttribute(param, "name", paramName);
    }
    SetAttribute(param, "type", paramType);
    return accessor;
}

void AddAccessorXYZ(xmlNode* source, const char* arrayReference, int count) {
    static const char* const kNames[] = {"X", "Y", "Z"};
    AddNamedAccessor(AddElement(source, "technique_common"), arrayReference, count, kNames, "float");
}

void AddAccessorST(xmlNode* source, const char* arrayReference, int count) {
    static const char* const kNames[] = {"S", "T"};
    AddNamedAccessor(AddElement(source, "technique_common"), arrayReference, count, kNames, "float");
}

void AddVector3Array(xmlNode* parent, const char* arrayId, std::span<const KFbxVector4> vectors) {
    std::string text = "\n";
    for (const KFbxVector4& vector : vectors) {
        AppendLine(text, {vector[0], vector[1], vector[2]});
    }
    AddArray(parent, "float", text.c_str(), arrayId, static_cast<int>(3 * vectors.size()));
}

void AddVector2Array(xmlNode* parent, const char* arrayId, std::span<const KFbxVector2> vectors) {
    std::string text = "\n";
    for (const KFbxVector2& vector : vectors) {
        AppendLine(text, {vector[0], vector[1]});
    }
    AddArray(parent, "float", text.c_str(), arrayId, static_cast<int>(2 * vectors.size()));
}

void AddDoubleArray(xmlNode* parent, const char* arrayId, std::span<const double> values) {
    std::string text;
    for (std::size_t index = 0; index < values.size(); ++index) {
        text += index % 16 == 0 ? '\n' : ' ';
        AppendNumber(text, values[index]);
    }
    text += '\n';
    AddArray(parent, "float", text.c_str(), arrayId, static_cast<int>(values.size()));
}

void AddColorArray(xmlNode* parent, const char* arrayId, std::span<const KFbxColor> colors) {
    std::string text;
    for (const KFbxColor& color : colors) {
        AppendLine(text, {color.mRed, color.mGreen, color.mBlue, color.mAlpha});
    }
    AddArray(parent, "float", text.c_str(), arrayId, static_cast<int>(4 * colors.size()));
}

void AddNameArray(xmlNode* parent, const char* arrayId, std::span<const KString> names, const char* paramType) {
    std::string text = "\n";
    int lineLength = 0;
    for (const KString& name : names) {
        if (lineLength + name.GetLen() > kNameLineLength) {
            text += '\n';
            lineLength = 0;
        } else {
            text += ' ';
            lineLength += name.GetLen();
        }
        text.append(name.Buffer(), static_cast<std::size_t>(name.GetLen()));
    }
    text += '\n';
    AddArray(parent, paramType, text.c_str(), arrayId, static_cast<int>(names.size()));
}

xmlNode* AddVector3Source(xmlNode* parent, const char* id, std::span<const KFbxVector4> vectors) {
    return AddVectorSource(parent, id, vectors, &AddVector3Array, &AddAccessorXYZ);
}

xmlNode* AddVector2Source(xmlNode* parent, const char* id, std::span<const KFbxVector2> vectors) {
    return AddVectorSource(parent, id, vectors, &AddVector2Array, &AddAccessorST);
}

xmlNode* AddColorSource(xmlNode* parent, const char* id, std::span<const KFbxColor> colors) {
    xmlNode* source = AddSource(parent, id);
    AddColorSourceContent(source, id, colors);
    return source;
}

void AddColorSourceContent(xmlNode* source, const char* id, std::span<const KFbxColor> colors) {
    const KString arrayId = ArrayIdOf(id);
    AddColorArray(source, arrayId.Buffer(), colors);
    static const char* const kNames[] = {"R", "G", "B", "A"};
    AddNamedAccessor(AddElement(source, "technique_common"), ReferenceTo(arrayId).Buffer(),
                     static_cast<int>(colors.size()), kNames, "double");
}

xmlNode* AddMatrixSource(xmlNode* parent, const char* id, const KgeMatrixArray& matrices) {
    return AddMatrixSourceOf(parent, id, matrices, true);
}

xmlNode* AddExactMatrixSource(xmlNode* parent, const char* id, const KgeMatrixArray& matrices) {
    return AddMatrixSourceOf(parent, id, matrices, true, &AppendExactNumber);
}

xmlNode* AddXMatrixSource(xmlNode* parent, const char* id, const KgeMatrixArray& matrices) {
    return AddMatrixSourceOf(parent, id, matrices, false);
}

xmlNode* AddFloatSource(xmlNode* parent, const char* id, std::span<const KString> paramNames,
                        std::span<const double> values, bool common) {
    xmlNode* source = AddSource(parent, id);
    const KString arrayId = ArrayIdOf(id);
    AddDoubleArray(source, arrayId.Buffer(), values);
    xmlNode* technique = common ? AddElement(source, "technique_common") : AddTechnique(source, "MAYA");
    const KString reference = ReferenceTo(arrayId);
    if (paramNames.empty()) {
        AddAccessor(technique, reference.Buffer(), static_cast<int>(values.size()), 1, nullptr, "float");
        return source;
    }
    std::vector<const char*> names;
    for (const KString& name : paramNames) {
        names.push_back(name.Buffer());
    }
    AddNamedAccessor(technique, reference.Buffer(), static_cast<int>(values.size() / paramNames.size()), names, "float");
    return source;
}

xmlNode* AddNameSource(xmlNode* parent, const char* id, std::span<const KString> names, const char* paramType,
                       bool common) {
    xmlNode* source = AddSource(parent, id);
    const KString arrayId = ArrayIdOf(id);
    AddNameArray(source, arrayId.Buffer(), names, std::strcmp(paramType, "IDREF") == 0 ? "IDREF" : "name");
    xmlNode* technique = common ? AddElement(source, "technique_common") : AddTechnique(source, "MAYA");
    AddAccessor(technique, ReferenceTo(arrayId).Buffer(), static_cast<int>(names.size()), 1, nullptr, paramType);
    return source;
}

}  // namespace fbxsdk_2006_11_1::ColladaXml
