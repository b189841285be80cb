// Building the recurring fragments of a COLLADA document: techniques,
// inputs, accessors, typed arrays and whole sources. Every number is written
// as "%f" would in the "C" locale (six decimals, no exponent: 1.0 is
// 1.000000) and every integer as "%d"; infinities and NaN are written as the
// schema's INF, -INF and NaN. Text is stored as text: a name or path holding
// "&" or "<" is escaped when the document is saved, never read as markup.
//
// A source built here reads back through ColladaXmlSource.h:
//
//   <source id="ID">
//     <float_array id="ID-array" count="VALUES">...</float_array>
//     <technique_common>
//       <accessor source="#ID-array" count="ITEMS" stride="N">   stride left out when 1
//         <param name="X" type="float"/>                          one per value of an item
//       </accessor>
//     </technique_common>
//   </source>
//
// Each routine returns the element it made unless said otherwise.
#ifndef FBXFILESDK_COLLADA_COLLADAXMLWRITE_H
#define FBXFILESDK_COLLADA_COLLADAXMLWRITE_H

#include <fbxfilesdk/collada/KgeMatrixArray.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include <libxml/tree.h>

#include <span>
#include <string>

namespace fbxsdk_2006_11_1::ColladaXml {

// The "%f" text of a value, appended to text.
void AppendNumber(std::string& text, double value);
// The value, or 0 for what is no finite number (then notFinite is set):
// what the writer puts in place of values a reader could not use.
double FiniteOrZero(double value, bool& notFinite);
KString FormatNumber(double value);
// The shortest text that reads back to the same double ("0.5", "1e-07"):
// for values whose every digit counts, such as the matrices of a skin.
void AppendExactNumber(std::string& text, double value);
// The "%d" text of an integer.
void AppendInteger(std::string& text, int value);
KString FormatInteger(int value);
// The sixteen values of an SDK matrix in COLLADA order (elements 0, 4, 8, 12,
// 1, 5, ... of the row-major store), "%f" each, single blanks between, a
// line feed at the end: ParseMatrix reads it back to the same matrix.
KString FormatMatrix(const KgeMatrix& matrix);
// The same with AppendExactNumber's texts.
KString FormatExactMatrix(const KgeMatrix& matrix);

// A new child element of that name, with the text as its content when the
// text is not null.
xmlNode* AddElement(xmlNode* parent, const char* name, const char* text = nullptr);
// Sets an attribute (an integer as "%d").
void SetAttribute(xmlNode* element, const char* name, const char* value);
void SetAttribute(xmlNode* element, const char* name, int value);

// "technique" with "profile".
xmlNode* AddTechnique(xmlNode* parent, const char* profile);
// "input" with "semantic"; "offset" unless offset is -1; "set" unless set is
// -1; "source" = "#" + sourceId unless sourceId is null.
void AddInput(xmlNode* parent, const char* semantic, const char* sourceId, int offset, int set);
// <name><float sid="name">value</float></name>; returns the outer element.
xmlNode* AddFloatElement(xmlNode* parent, const char* name, double value);
// <name><color sid="name">red green blue 1.000000</color></name>: alpha is
// always written as 1; returns the outer element.
xmlNode* AddColor(xmlNode* parent, const char* name, const KFbxColor& color);
// The typed array element of the param type ("float_array" and so on), or
// for another type an "array" with "type"; then "id" and "count".
xmlNode* AddArray(xmlNode* parent, const char* paramType, const char* text, const char* id, int count);
// "accessor" with "source", "count", "stride" unless 1, and one "param"
// with "name" (left out when null or empty) and "type".
xmlNode* AddAccessor(xmlNode* parent, const char* sourceReference, int count, int stride, const char* paramName,
                     const char* paramType);
// "technique_common"/"accessor" of stride 3 with the float params X, Y, Z
// (of stride 2 with S, T).
void AddAccessorXYZ(xmlNode* source, const char* arrayReference, int count);
void AddAccessorST(xmlNode* source, const char* arrayReference, int count);

// Typed arrays of the values (layouts: vectors one to a line after a
// leading line feed; doubles sixteen to a line; colours one to a line
// without the leading line feed; names blank-separated, a new line before a
// name that would take a line past 70 characters).
void AddVector3Array(xmlNode* parent, const char* arrayId, std::span<const KFbxVector4> vectors);
void AddVector2Array(xmlNode* parent, const char* arrayId, std::span<const KFbxVector2> vectors);
void AddDoubleArray(xmlNode* parent, const char* arrayId, std::span<const double> values);
void AddColorArray(xmlNode* parent, const char* arrayId, std::span<const KFbxColor> colors);
// paramType "name" gives a Name_array, "IDREF" an IDREF_array.
void AddNameArray(xmlNode* parent, const char* arrayId, std::span<const KString> names, const char* paramType);

// Whole sources, the array "ID-array" and its accessor "#ID-array".
// Vectors: params X, Y, Z (S, T); "id" left out when id is null.
xmlNode* AddVector3Source(xmlNode* parent, const char* id, std::span<const KFbxVector4> vectors);
xmlNode* AddVector2Source(xmlNode* parent, const char* id, std::span<const KFbxVector2> vectors);
// Colours: stride 4, params R, G, B, A.
xmlNode* AddColorSource(xmlNode* parent, const char* id, std::span<const KFbxColor> colors);
void AddColorSourceContent(xmlNode* source, const char* id, std::span<const KFbxColor> colors);
// Transforms: one "float4x4" param of stride 16. Each SDK matrix is written
// in COLLADA order (as FormatMatrix does), its affine part only, so that
// ReadSourceMatrices gives it back.
xmlNode* AddMatrixSource(xmlNode* parent, const char* id, const KgeMatrixArray& matrices);
// The same with AppendExactNumber's texts.
xmlNode* AddExactMatrixSource(xmlNode* parent, const char* id, const KgeMatrixArray& matrices);
// The same, but the sixteen stored values of each item written as they are
// (the caller has put them in COLLADA order).
xmlNode* AddXMatrixSource(xmlNode* parent, const char* id, const KgeMatrixArray& matrices);
// Numbers, under "technique_common" when common is set, else under a "MAYA"
// technique. With k param names: one accessor of values / k items of
// stride k, with one "float" param per name; with none: one unnamed param
// and stride 1.
xmlNode* AddFloatSource(xmlNode* parent, const char* id, std::span<const KString> paramNames,
                        std::span<const double> values, bool common);
// Names in a "Name_array" (ids in an "IDREF_array" when the type is
// "IDREF"), one accessor of stride 1 whose param has the type.
xmlNode* AddNameSource(xmlNode* parent, const char* id, std::span<const KString> names, const char* paramType,
                       bool common);

}  // namespace fbxsdk_2006_11_1::ColladaXml

#endif
