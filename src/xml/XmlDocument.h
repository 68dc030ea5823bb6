// A small RAII wrapper over libxml2: safe loading of untrusted files, the first
// parse error with its position, and XPath 1.0 selection of nodes and texts.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

struct _xmlDoc;
struct _xmlNode;

namespace TavrinXml {

using Node = _xmlNode*;

struct ParseError {
    std::string reason;
    int line = 0;
    int column = 0;
};

// A vehicle or language file is a few hundred kilobytes; one far larger is refused
// before it is parsed (a valid 200 MB file would take minutes and gigabytes).
constexpr long kMaxFileBytes = 64L << 20;

// Why a path cannot be read as a file: a directory, a FIFO, a device or a
// socket is no file to read (a FIFO would block for ever). Empty for a regular
// file, or for one that does not exist (opening it then says why).
std::string notAFile(const std::string& path);

class Document {
  public:
    // Parses the file. On failure the document is empty and error() tells why.
    static Document load(const std::string& path);
    static Document parse(const std::string& text, const std::string& name = "memory");

    Document() = default;
    bool loaded() const { return doc_ != nullptr; }
    const std::optional<ParseError>& error() const { return error_; }

    Node root() const;
    // An expression that libxml2 refuses counts as matching nothing.
    Node selectFirst(const std::string& xpath, Node context = nullptr) const;
    std::vector<Node> selectAll(const std::string& xpath, Node context = nullptr) const;
    // Like selectAll, but says whether the expression itself was valid. An empty
    // (unloaded) document matches nothing.
    bool trySelectAll(const std::string& xpath, Node context, std::vector<Node>& out) const;

  private:
    void adopt(_xmlDoc* doc);
    struct Free {
        void operator()(_xmlDoc* doc) const;
    };
    std::shared_ptr<_xmlDoc> doc_;
    std::optional<ParseError> error_;
};

std::string text(Node node);
std::string name(Node node);
std::optional<std::string> attribute(Node node, const std::string& name);
int line(Node node);
std::vector<Node> childElements(Node node);

}  // namespace TavrinXml
