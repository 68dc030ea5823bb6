#include "XmlDocument.h"

#include <libxml/parser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>
#include <libxml/xpath.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace TavrinXml {
namespace {

// Never NOENT (it also loads external entities), HUGE or any DTD option.
// BIG_LINES: line numbers past 65535 are reported as they are, not as 65535.
constexpr int kSafeOptions = XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING | XML_PARSE_BIG_LINES;

struct FirstError {
    std::optional<ParseError> error;
};

void captureFirst(void* context, xmlError* err)
{
    auto* first = static_cast<FirstError*>(context);
    if (first->error || err == nullptr || err->level < XML_ERR_ERROR) return;
    std::string reason = err->message ? err->message : "unknown error";
    while (!reason.empty() && (reason.back() == '\n' || reason.back() == '\r'))
        reason.pop_back();
    first->error = ParseError{reason, err->line, err->int2};
}

// The structured handler is per thread in libxml2; restore whatever was there.
class ErrorCapture {
  public:
    ErrorCapture() : oldContext_(xmlStructuredErrorContext), oldHandler_(xmlStructuredError)
    {
        xmlSetStructuredErrorFunc(&first_, captureFirst);
    }
    ~ErrorCapture() { xmlSetStructuredErrorFunc(oldContext_, oldHandler_); }
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;
    std::optional<ParseError>& first() { return first_.error; }

  private:
    FirstError first_;
    void* oldContext_;
    xmlStructuredErrorFunc oldHandler_;
};

struct XPathResult {
    xmlXPathContextPtr context = nullptr;
    xmlXPathObjectPtr object = nullptr;
    ~XPathResult()
    {
        if (object) xmlXPathFreeObject(object);
        if (context) xmlXPathFreeContext(context);
    }
};

}  // namespace

void Document::Free::operator()(_xmlDoc* doc) const
{
    xmlFreeDoc(doc);
}

// A file that carries a document type declaration has no business here: it is
// refused whole, so no entity of it is ever expanded.
void Document::adopt(_xmlDoc* doc)
{
    if (doc->intSubset == nullptr && doc->extSubset == nullptr) {
        doc_.reset(doc, Free{});
        return;
    }
    const int at = doc->intSubset ? static_cast<int>(xmlGetLineNo(reinterpret_cast<xmlNodePtr>(doc->intSubset))) : 0;
    xmlFreeDoc(doc);
    error_ = ParseError{"a document type declaration is not accepted", at > 0 ? at : 1, 1};
}

namespace {

bool readWhole(const std::string& path, std::string& text)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr) return false;
    char buffer[65536];
    size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0 && text.size() <= static_cast<size_t>(kMaxFileBytes))
        text.append(buffer, got);
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    return !failed;
}

// The parser adds an element's attributes one after the other at the end of a
// list: thousands on one element cost quadratic time (100,000 took 49 s). No
// vehicle or language file has more than a few dozen, so a text with an element
// of more than kMaxAttributes is refused before it is parsed, in one pass.
constexpr int kMaxAttributes = 1000;

std::optional<ParseError> crowdedElement(const std::string& text)
{
    int line = 1;
    int attributes = 0;
    bool inTag = false;
    char quote = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') ++line;
        if (quote != 0) {
            if (c == quote) quote = 0;
        } else if (!inTag) {
            const char next = i + 1 < text.size() ? text[i + 1] : '\0';
            inTag = c == '<' && next != '!' && next != '?' && next != '/';
            attributes = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            inTag = false;
        } else if (c == '=' && ++attributes > kMaxAttributes) {
            return ParseError{"an element with more than " + std::to_string(kMaxAttributes) + " attributes", line, 1};
        }
    }
    return std::nullopt;
}

}  // namespace

std::string notAFile(const std::string& path)
{
    std::error_code error;
    switch (std::filesystem::status(path, error).type()) {
    case std::filesystem::file_type::directory: return "a directory, not a file";
    case std::filesystem::file_type::fifo: return "a FIFO (named pipe), not a file";
    case std::filesystem::file_type::block:
    case std::filesystem::file_type::character: return "a device, not a file";
    case std::filesystem::file_type::socket: return "a socket, not a file";
    default: return {};
    }
}

Document Document::load(const std::string& path)
{
    Document result;
    if (const std::string why = notAFile(path); !why.empty()) {
        result.error_ = ParseError{why, 0, 0};
        return result;
    }
    if (std::FILE* probe = std::fopen(path.c_str(), "rb")) {
        const bool seekable = std::fseek(probe, 0, SEEK_END) == 0;
        const long size = seekable ? std::ftell(probe) : 0;
        std::fclose(probe);
        if (size > kMaxFileBytes) {
            result.error_ = ParseError{"the file is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB", 0, 0};
            return result;
        }
    } else {
        result.error_ = ParseError{std::string("cannot open the file: ") + std::strerror(errno), 0, 0};
        return result;
    }
    std::string text;
    if (!readWhole(path, text)) {
        result.error_ = ParseError{std::string("cannot read the file: ") + std::strerror(errno), 0, 0};
        return result;
    }
    return parse(text, path);
}

Document Document::parse(const std::string& text, const std::string& name)
{
    Document result;
    if (text.size() > static_cast<size_t>(kMaxFileBytes)) {
        result.error_ = ParseError{"the text is larger than " + std::to_string(kMaxFileBytes >> 20) + " MiB", 0, 0};
        return result;
    }
    if (auto crowded = crowdedElement(text)) {
        result.error_ = *crowded;
        return result;
    }
    ErrorCapture capture;
    xmlDocPtr doc = xmlReadMemory(text.data(), static_cast<int>(text.size()), name.c_str(), nullptr, kSafeOptions);
    if (doc == nullptr) {
        result.error_ = capture.first().value_or(ParseError{"cannot parse the text", 0, 0});
        return result;
    }
    result.adopt(doc);
    return result;
}

Node Document::root() const
{
    return doc_ ? xmlDocGetRootElement(doc_.get()) : nullptr;
}

bool Document::trySelectAll(const std::string& xpath, Node context, std::vector<Node>& out) const
{
    out.clear();
    if (!doc_) return true;  // an empty document: nothing matches
    ErrorCapture quiet;      // a bad expression must not print to stderr
    XPathResult r;
    r.context = xmlXPathNewContext(doc_.get());
    if (r.context == nullptr) return false;
    r.context->node = context ? context : reinterpret_cast<xmlNodePtr>(doc_.get());
    r.object = xmlXPathEvalExpression(reinterpret_cast<const xmlChar*>(xpath.c_str()), r.context);
    if (r.object == nullptr) return false;
    if (r.object->type != XPATH_NODESET) return false;
    if (xmlNodeSetPtr set = r.object->nodesetval) {
        for (int i = 0; i < set->nodeNr; ++i)
            out.push_back(set->nodeTab[i]);
    }
    return true;
}

std::vector<Node> Document::selectAll(const std::string& xpath, Node context) const
{
    std::vector<Node> nodes;
    trySelectAll(xpath, context, nodes);
    return nodes;
}

Node Document::selectFirst(const std::string& xpath, Node context) const
{
    auto nodes = selectAll(xpath, context);
    return nodes.empty() ? nullptr : nodes.front();
}

std::string text(Node node)
{
    if (node == nullptr) return {};
    xmlChar* content = xmlNodeGetContent(node);
    if (content == nullptr) return {};
    std::string result(reinterpret_cast<const char*>(content));
    xmlFree(content);
    return result;
}

std::string name(Node node)
{
    return node && node->name ? reinterpret_cast<const char*>(node->name) : "";
}

std::optional<std::string> attribute(Node node, const std::string& attributeName)
{
    if (node == nullptr) return std::nullopt;
    // "xml:lang" and its kin live in the XML namespace, which a plain look-up by name does not see.
    static const std::string xmlPrefix = "xml:";
    const bool inXmlNamespace = attributeName.starts_with(xmlPrefix);
    const auto* local = reinterpret_cast<const xmlChar*>(attributeName.c_str() + (inXmlNamespace ? 4 : 0));
    xmlChar* value = inXmlNamespace ? xmlGetNsProp(node, local, XML_XML_NAMESPACE) : xmlGetProp(node, local);
    if (value == nullptr) return std::nullopt;
    std::string result(reinterpret_cast<const char*>(value));
    xmlFree(value);
    return result;
}

int line(Node node)
{
    return node ? static_cast<int>(xmlGetLineNo(node)) : 0;
}

std::vector<Node> childElements(Node node)
{
    std::vector<Node> children;
    if (node == nullptr) return children;
    for (xmlNodePtr child = node->children; child != nullptr; child = child->next) {
        if (child->type == XML_ELEMENT_NODE) children.push_back(child);
    }
    return children;
}

}  // namespace TavrinXml
