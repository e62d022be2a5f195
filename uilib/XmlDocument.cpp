#include "uilib/XmlDocument.h"

#include "platform/TextCodec.h"

#include <algorithm>

namespace UiLib {

namespace {

bool isWhitespace(wchar_t c) {
    return static_cast<std::uint32_t>(c) <= 32;
}

bool isNameChar(wchar_t c) {
    return (c >= L'a' && c <= L'z') || (c >= L'A' && c <= L'Z') || (c >= L'0' && c <= L'9') || c == L'_' ||
           c == L':';
}

struct EntityReference {
    std::wstring_view text; // after the ampersand
    wchar_t character;
};
constexpr EntityReference kEntities[] = {
    {L"amp;", L'&'}, {L"lt;", L'<'}, {L"gt;", L'>'}, {L"quot;", L'"'}, {L"apos;", L'\''},
};

std::wstring decodeUtf16(const std::uint8_t* bytes, size_t size, bool bigEndian) {
    std::wstring text;
    text.reserve(size / 2);
    auto unit = [&](size_t i) -> std::uint32_t {
        return bigEndian ? (bytes[i] << 8 | bytes[i + 1]) : (bytes[i] | bytes[i + 1] << 8);
    };
    for (size_t i = 0; i + 1 < size; i += 2) {
        std::uint32_t c = unit(i);
        if (c >= 0xD800 && c <= 0xDBFF && i + 3 < size) {
            std::uint32_t low = unit(i + 2);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                text.push_back(static_cast<wchar_t>(0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00)));
                i += 2;
                continue;
            }
        }
        text.push_back(c >= 0xD800 && c <= 0xDFFF ? L'\xFFFD' : static_cast<wchar_t>(c));
    }
    return text;
}

} // namespace

// ---- CXmlNode

std::wstring_view CXmlNode::name() const {
    return isValid() ? m_Document->text(m_Document->m_Elements[m_Element].name) : std::wstring_view();
}

std::wstring_view CXmlNode::value() const {
    return isValid() ? m_Document->text(m_Document->m_Elements[m_Element].data) : std::wstring_view();
}

bool CXmlNode::hasValue() const {
    return isValid() && m_Document->m_Elements[m_Element].hasData;
}

CXmlNode CXmlNode::parent() const {
    if (!isValid() || m_Document->m_Elements[m_Element].parent == CXmlDocument::kNone)
        return {};
    return CXmlNode(m_Document, m_Document->m_Elements[m_Element].parent);
}

CXmlNode CXmlNode::firstChild() const {
    if (!isValid() || m_Document->m_Elements[m_Element].firstChild == CXmlDocument::kNone)
        return {};
    return CXmlNode(m_Document, m_Document->m_Elements[m_Element].firstChild);
}

CXmlNode CXmlNode::child(std::wstring_view name) const {
    for (CXmlNode node = firstChild(); node; node = node.nextSibling())
        if (node.name() == name)
            return node;
    return {};
}

CXmlNode CXmlNode::nextSibling() const {
    if (!isValid() || m_Document->m_Elements[m_Element].nextSibling == CXmlDocument::kNone)
        return {};
    return CXmlNode(m_Document, m_Document->m_Elements[m_Element].nextSibling);
}

int CXmlNode::attributeCount() const {
    if (!isValid())
        return 0;
    return static_cast<int>(
        std::min<size_t>(m_Document->m_Elements[m_Element].attributeCount, kMaxAttributes));
}

std::wstring_view CXmlNode::attributeName(int index) const {
    if (index < 0 || index >= attributeCount())
        return {};
    const auto& element = m_Document->m_Elements[m_Element];
    return m_Document->text(m_Document->m_Attributes[element.firstAttribute + index].name);
}

std::wstring_view CXmlNode::attributeValue(int index) const {
    if (index < 0 || index >= attributeCount())
        return {};
    const auto& element = m_Document->m_Elements[m_Element];
    return m_Document->text(m_Document->m_Attributes[element.firstAttribute + index].value);
}

bool CXmlNode::hasAttribute(std::wstring_view name) const {
    for (int i = 0; i < attributeCount(); ++i)
        if (attributeName(i) == name)
            return true;
    return false;
}

std::wstring_view CXmlNode::attributeValue(std::wstring_view name) const {
    for (int i = 0; i < attributeCount(); ++i)
        if (attributeName(i) == name)
            return attributeValue(i);
    return {};
}

// ---- CXmlDocument

bool CXmlDocument::loadFromString(std::wstring_view text) {
    clear();
    m_Text.assign(text.substr(0, text.find(L'\0')));
    return parse();
}

bool CXmlDocument::loadFromFile(const std::wstring& name, Encoding encoding, const SkinResources& resources) {
    SkinResources::FileRead file = resources.ReadFile(name);
    if (!file.ok()) {
        setError(file.error, name);
        return false;
    }
    return loadFromMemory(file.bytes.data(), file.bytes.size(), encoding);
}

bool CXmlDocument::loadFromMemory(const void* bytes, size_t size, Encoding encoding) {
    const auto* data = static_cast<const std::uint8_t*>(bytes);
    std::wstring text;
    switch (encoding) {
    case Encoding::Utf8:
        if (size >= 3 && data[0] == 0xEF && data[1] == 0xBB && data[2] == 0xBF) {
            data += 3;
            size -= 3;
        }
        text = Platform::FromUtf8(std::string_view(reinterpret_cast<const char*>(data), size));
        break;
    case Encoding::Utf16:
        if (size >= 2 && data[0] == 0xFF && data[1] == 0xFE)
            text = decodeUtf16(data + 2, size - 2, false);
        else if (size >= 2 && data[0] == 0xFE && data[1] == 0xFF)
            text = decodeUtf16(data + 2, size - 2, true);
        else {
            clear();
            return false;
        }
        break;
    case Encoding::Ansi:
        text = Platform::DecodeCodePage(std::string_view(reinterpret_cast<const char*>(data), size),
                                        Platform::kCodePageSystem);
        break;
    }
    return loadFromString(text);
}

void CXmlDocument::clear() {
    m_Text.clear();
    m_Elements.clear();
    m_Attributes.clear();
    m_ErrorMessage.clear();
    m_ErrorLocation.clear();
}

CXmlNode CXmlDocument::root() const {
    return m_Elements.empty() ? CXmlNode() : CXmlNode(this, 0);
}

void CXmlDocument::setError(std::wstring_view message, std::wstring_view location) {
    clear();
    m_ErrorMessage = message.substr(0, kMaxErrorMessage);
    m_ErrorLocation = location.substr(0, kMaxErrorLocation);
}

bool CXmlDocument::fail(std::wstring_view message, size_t pos) {
    // Copied before clear() empties the text it points into.
    std::wstring location(std::wstring_view(m_Text).substr(std::min(pos, m_Text.size()), kMaxErrorLocation));
    setError(message, location);
    return false;
}

void CXmlDocument::skipWhitespace(size_t& pos) const {
    while (pos < m_Text.size() && isWhitespace(m_Text[pos]))
        ++pos;
}

bool CXmlDocument::parse() {
    size_t pos = 0;
    if (!parseLevel(pos, kNone))
        return false;
    // Only comments and declarations: there is no root for the builder to start from.
    if (m_Elements.empty())
        return fail(L"Expected start tag", pos);
    return true;
}

// Reads the elements of one level, up to the "</" that closes their parent (which stays unread) or,
// at the top level, the end of the text.
bool CXmlDocument::parseLevel(size_t& pos, size_t parent) {
    size_t previous = kNone;
    for (;;) {
        skipWhitespace(pos);
        if (pos >= m_Text.size()) {
            if (parent == kNone)
                return true;
            return fail(L"Expected start tag", pos);
        }
        if (m_Text[pos] != L'<')
            return fail(L"Expected start tag", pos);
        const wchar_t next = m_Text[pos + 1]; // m_Text[size()] is the terminating NUL
        if (next == L'/') {
            if (parent == kNone)
                return fail(L"Unmatched closing tag", pos + 2);
            return true;
        }
        if (next == L'!' || next == L'?') {
            skipMarkup(pos);
            continue;
        }
        ++pos;

        const size_t index = m_Elements.size();
        m_Elements.emplace_back();
        m_Elements[index].parent = parent;
        if (previous != kNone)
            m_Elements[previous].nextSibling = index;
        else if (parent != kNone)
            m_Elements[parent].firstChild = index;
        previous = index;

        Span name;
        if (!parseElementName(pos, name))
            return false;
        m_Elements[index].name = name;
        if (!parseAttributes(pos, m_Elements[index]))
            return false;

        if (m_Text.compare(pos, 2, L"/>") == 0) {
            pos += 2;
            continue;
        }
        if (pos >= m_Text.size() || m_Text[pos] != L'>')
            return fail(L"Expected start-tag closing", pos);
        ++pos;

        const size_t dataStart = pos;
        const size_t dataEnd = m_Text.find(L'<', pos);
        if (dataEnd == std::wstring::npos)
            return fail(L"Expected end-tag start", pos);
        m_Elements[index].data = {dataStart, decodeInPlace(dataStart, dataEnd)};
        m_Elements[index].hasData = true;
        pos = dataEnd;

        if (m_Text[pos + 1] != L'/' && !parseLevel(pos, index))
            return false;

        // At "</": the closing tag must name this element exactly.
        pos += 2;
        const size_t closingName = pos;
        while (pos < m_Text.size() && isNameChar(m_Text[pos]))
            ++pos;
        if (text({closingName, pos - closingName}) != text(name))
            return fail(L"Unmatched closing tag", closingName);
        skipWhitespace(pos);
        if (pos >= m_Text.size() || m_Text[pos] != L'>')
            return fail(L"Unmatched closing tag", closingName);
        ++pos;
    }
}

bool CXmlDocument::parseElementName(size_t& pos, Span& name) {
    const size_t start = pos;
    while (pos < m_Text.size() && isNameChar(m_Text[pos]))
        ++pos;
    if (pos == start)
        return fail(L"Error parsing element name", pos);
    name = {start, pos - start};
    return true;
}

bool CXmlDocument::parseAttributes(size_t& pos, Element& element) {
    element.firstAttribute = m_Attributes.size();
    for (;;) {
        skipWhitespace(pos);
        if (pos >= m_Text.size() || m_Text[pos] == L'/' || m_Text[pos] == L'>')
            return true;
        const size_t nameStart = pos;
        while (pos < m_Text.size() && isNameChar(m_Text[pos]))
            ++pos;
        const Span name{nameStart, pos - nameStart};
        skipWhitespace(pos);
        if (name.length == 0 || pos >= m_Text.size() || m_Text[pos] != L'=')
            return fail(L"Error while parsing attributes", pos);
        ++pos;
        skipWhitespace(pos);
        // Single quotes are not delimiters: image descriptions carry them inside the values.
        if (pos >= m_Text.size() || m_Text[pos] != L'"')
            return fail(L"Expected attribute value", pos);
        ++pos;
        const size_t valueStart = pos;
        const size_t valueEnd = m_Text.find(L'"', pos);
        if (valueEnd == std::wstring::npos)
            return fail(L"Error while parsing attribute string", valueStart);
        m_Attributes.push_back({name, {valueStart, decodeInPlace(valueStart, valueEnd)}});
        ++element.attributeCount;
        pos = valueEnd + 1;
    }
}

// Comments end at the first "->", the declaration and processing instructions at the first "?>"; an
// unterminated one runs to the end of the text.
void CXmlDocument::skipMarkup(size_t& pos) {
    const std::wstring_view end = m_Text[pos + 1] == L'!' ? L"->" : L"?>";
    const size_t found = m_Text.find(end, pos + 2);
    pos = found == std::wstring::npos ? m_Text.size() : found + end.size();
}

size_t CXmlDocument::decodeInPlace(size_t start, size_t end) {
    size_t out = start;
    size_t in = start;
    while (in < end) {
        const wchar_t c = m_Text[in];
        if (c == L'&') {
            const std::wstring_view rest(m_Text.data() + in + 1, end - in - 1);
            const auto entity =
                std::find_if(std::begin(kEntities), std::end(kEntities),
                             [&](const EntityReference& e) { return rest.starts_with(e.text); });
            if (entity != std::end(kEntities)) {
                m_Text[out++] = entity->character;
                in += 1 + entity->text.size();
                continue;
            }
        } else if (c == L' ' && !m_PreserveWhitespace) {
            m_Text[out++] = c;
            for (++in; in < end && isWhitespace(m_Text[in]);)
                ++in;
            continue;
        }
        m_Text[out++] = c;
        ++in;
    }
    return out - start;
}

} // namespace UiLib
