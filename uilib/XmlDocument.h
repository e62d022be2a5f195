#pragma once

#include "uilib/SkinResources.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace UiLib {

class CXmlDocument;

// A handle to one element of a loaded document; it stays valid until the document is loaded again or
// destroyed. A default handle (or one past the last child or sibling) is not valid and answers every
// question with nothing.
class CXmlNode {
public:
    // Elements show at most this many attributes; further ones are ignored.
    static constexpr int kMaxAttributes = 64;

    CXmlNode() = default;

    bool isValid() const { return m_Document != nullptr; }
    explicit operator bool() const { return isValid(); }

    std::wstring_view name() const;
    // The character data before the first child element, entity references replaced.
    std::wstring_view value() const;
    bool hasValue() const;

    CXmlNode parent() const;
    CXmlNode firstChild() const;
    // The first child element called `name` (compared exactly).
    CXmlNode child(std::wstring_view name) const;
    CXmlNode nextSibling() const;
    bool hasChildren() const { return firstChild().isValid(); }
    bool hasSiblings() const { return nextSibling().isValid(); }

    int attributeCount() const;
    // Empty for an index outside 0 .. attributeCount() - 1.
    std::wstring_view attributeName(int index) const;
    std::wstring_view attributeValue(int index) const;
    // The first attribute called `name` (compared exactly); empty when there is none.
    bool hasAttribute(std::wstring_view name) const;
    std::wstring_view attributeValue(std::wstring_view name) const;

    bool operator==(const CXmlNode&) const = default;

private:
    friend class CXmlDocument;
    CXmlNode(const CXmlDocument* document, size_t element) : m_Document(document), m_Element(element) {}

    const CXmlDocument* m_Document = nullptr;
    size_t m_Element = 0;
};

// The reader of the layout documents: elements, attributes in double quotes and character data, with
// comments ("<!" up to "->") and the declaration ("<?" up to "?>") skipped and the five standard
// entity references replaced. A failed load leaves the document empty with an error text and the
// text that follows the place where it failed.
class CXmlDocument {
public:
    enum class Encoding { Utf8 = 0, Utf16 = 1, Ansi = 2 };

    static constexpr size_t kMaxErrorMessage = 99;
    static constexpr size_t kMaxErrorLocation = 49;

    // Parses `text`; a NUL character ends it.
    bool loadFromString(std::wstring_view text);
    // UTF-8 may start with a byte-order mark. UTF-16 must start with one (big-endian text is
    // swapped), otherwise the load fails. Ansi is the system's 8-bit code page.
    bool loadFromMemory(const void* bytes, size_t size, Encoding encoding = Encoding::Utf8);

    // A file through the skin resources (the package or the resource folder); a file that cannot be
    // read fails with the reader's error text and the file name as location.
    bool loadFromFile(const std::wstring& name, Encoding encoding = Encoding::Utf8,
                      const SkinResources& resources = SkinResources::Process());

    void clear();
    // The first top-level element; not valid after a failed load or before any.
    CXmlNode root() const;

    std::wstring_view errorMessage() const { return m_ErrorMessage; }
    std::wstring_view errorLocation() const { return m_ErrorLocation; }
    // For loaders that fail before any text is parsed (a missing file, a damaged archive): the
    // document is emptied and keeps the message (cut as a parse error's would be).
    void setError(std::wstring_view message, std::wstring_view location = {});

    // True by default. When false, a blank followed by further white space in character data or an
    // attribute value is reduced to that one blank.
    void setPreserveWhitespace(bool preserve) { m_PreserveWhitespace = preserve; }
    bool preserveWhitespace() const { return m_PreserveWhitespace; }

private:
    friend class CXmlNode;
    static constexpr size_t kNone = static_cast<size_t>(-1);

    // A piece of m_Text.
    struct Span {
        size_t start = 0;
        size_t length = 0;
    };
    struct Attribute {
        Span name;
        Span value;
    };
    struct Element {
        Span name;
        Span data;
        bool hasData = false;
        size_t parent = kNone;
        size_t firstChild = kNone;
        size_t nextSibling = kNone;
        size_t firstAttribute = 0;
        size_t attributeCount = 0;
    };

    std::wstring_view text(Span span) const {
        return std::wstring_view(m_Text).substr(span.start, span.length);
    }

    bool parse();
    bool parseLevel(size_t& pos, size_t parent);
    bool parseElementName(size_t& pos, Span& name);
    bool parseAttributes(size_t& pos, Element& element);
    void skipMarkup(size_t& pos);
    // Replaces entity references (and runs of white space, unless preserved) between start and end,
    // moving the result to the front of that range; gives its new length.
    size_t decodeInPlace(size_t start, size_t end);
    void skipWhitespace(size_t& pos) const;
    bool fail(std::wstring_view message, size_t pos);

    std::wstring m_Text;
    std::vector<Element> m_Elements;
    std::vector<Attribute> m_Attributes;
    std::wstring m_ErrorMessage;
    std::wstring m_ErrorLocation;
    bool m_PreserveWhitespace = true;
};

} // namespace UiLib
