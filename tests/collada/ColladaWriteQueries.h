// Written documents looked at through XPath (prefix "c" for the COLLADA
// namespace), with their animation targets resolved as a reader would.
#ifndef TESTS_COLLADA_COLLADAWRITEQUERIES_H
#define TESTS_COLLADA_COLLADAWRITEQUERIES_H

#include "collada/ColladaWriterSupport.h"
#include "fbx/RichScene.h"

#include <gmock/gmock.h>

#include <libxml/xpath.h>
#include <libxml/xpathInternals.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::colladatest {

using richscene::AddNode;
using richscene::Seconds;

class ColladaWriteQueryTest : public ColladaWriteTest {
protected:
    // Writes mScene with the options the function sets (none: the
    // defaults, polygons kept); when written, the document is kept for the
    // queries.
    bool Write(const std::string& name = "written.dae",
               const std::function<void(KFbxStreamOptions&)>& setOptions = {}) {
        mWrittenPath = mFolder / name;
        mDocument = ColladaDocument();
        const bool written = WriteScene(mScene, mWrittenPath, [&](KFbxStreamOptions& options) {
            options.SetOption("TRIANGULATE", false);
            if (setOptions) {
                setOptions(options);
            }
        });
        if (written) {
            mText = ReadText(mWrittenPath);
            KString error;
            mDocument = ColladaDocument::ParseMemory(mText.data(), mText.size(), error);
        }
        return written;
    }
    bool WriteSingleMatrix(const std::string& name = "written.dae") {
        return Write(name, [](KFbxStreamOptions& options) { options.SetOption("SINGLE MATRIX", true); });
    }

    // The nodes the expression selects in the written document.
    std::vector<xmlNode*> Select(const std::string& expression) const {
        std::vector<xmlNode*> nodes;
        if (mDocument.IsEmpty()) {
            return nodes;
        }
        std::unique_ptr<xmlXPathContext, void (*)(xmlXPathContextPtr)> context(xmlXPathNewContext(mDocument.Get()),
                                                                              xmlXPathFreeContext);
        xmlXPathRegisterNs(context.get(), reinterpret_cast<const xmlChar*>("c"),
                           reinterpret_cast<const xmlChar*>("http://www.collada.org/2005/11/COLLADASchema"));
        std::unique_ptr<xmlXPathObject, void (*)(xmlXPathObjectPtr)> result(
            xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(expression.c_str()), context.get()),
            xmlXPathFreeObject);
        if (result != nullptr && result->nodesetval != nullptr) {
            for (int index = 0; index < result->nodesetval->nodeNr; ++index) {
                nodes.push_back(result->nodesetval->nodeTab[index]);
            }
        }
        return nodes;
    }
    static std::string TextOf(const xmlNode* node) {
        xmlChar* content = xmlNodeGetContent(node);
        std::string text = content != nullptr ? reinterpret_cast<const char*>(content) : "";
        xmlFree(content);
        return text;
    }
    // The text of the one node selected ("<none>" or "<several>" else).
    std::string Text(const std::string& expression) const {
        const std::vector<xmlNode*> nodes = Select(expression);
        return nodes.size() == 1 ? TextOf(nodes[0]) : nodes.empty() ? "<none>" : "<several>";
    }
    std::vector<std::string> Texts(const std::string& expression) const {
        std::vector<std::string> texts;
        for (const xmlNode* node : Select(expression)) {
            texts.push_back(TextOf(node));
        }
        return texts;
    }
    // The names of the child elements of the selected elements, in order.
    std::vector<std::string> NamesUnder(const std::string& expression) const {
        std::vector<std::string> names;
        for (xmlNode* parent : Select(expression)) {
            const std::vector<std::string> children = ChildNames(parent);
            names.insert(names.end(), children.begin(), children.end());
        }
        return names;
    }

    // The channel targets that do not resolve, one per line: "id/sid[.member]"
    // needs an element of that id with a descendant of that sid, "id(index)"
    // an element of that id.
    std::string UnresolvedTargets() const {
        std::string unresolved;
        for (const std::string& target : Texts("//c:channel/@target")) {
            const std::size_t slash = target.find('/');
            bool found = false;
            if (slash == std::string::npos) {
                const std::size_t open = target.find('(');
                found = open != std::string::npos && !Select("//*[@id='" + target.substr(0, open) + "']").empty();
            } else {
                const std::string sid = target.substr(slash + 1, target.find('.', slash) - slash - 1);
                found = !Select("//*[@id='" + target.substr(0, slash) + "']//*[@sid='" + sid + "']").empty();
            }
            if (!found) {
                unresolved += target + "\n";
            }
        }
        return unresolved;
    }

    // The written file validates and every target resolves.
    void ExpectSoundDocument() {
        ASSERT_FALSE(mDocument.IsEmpty());
        EXPECT_EQ(UnresolvedTargets(), "");
        COLLADA_EXPECT_WRITTEN_VALID(mWrittenPath);
    }

    std::string mWrittenPath;
};

}  // namespace fbxsdk_2006_11_1::colladatest

#endif
