#include "uilib/LayoutBuilder.h"

#include "platform/Resources.h"
#include "platform/TextCodec.h"
#include "uilib/ControlFactory.h"
#include "uilib/NumberList.h"
#include "uilib/TextCase.h"
#include "uilib/WindowManagerUI.h"
#include "uilib/controls/ContainerUI.h"

#include <cwctype>

namespace UiLib {

namespace {

constexpr size_t kMaxFaceLength = 31;

bool IsDeclaration(std::wstring_view name) {
    return EqualsIgnoringCase(name, L"Image") || EqualsIgnoringCase(name, L"Font") ||
           EqualsIgnoringCase(name, L"Default") || EqualsIgnoringCase(name, L"MultiLanguage");
}

// An attribute of a declaration, its name compared without regard to case; `fallback` when absent.
std::wstring Attribute(CXmlNode node, std::wstring_view name, std::wstring_view fallback = {}) {
    for (int i = 0; i < node.attributeCount(); ++i)
        if (EqualsIgnoringCase(node.attributeName(i), name))
            return std::wstring(node.attributeValue(i));
    return std::wstring(fallback);
}

std::uint32_t ParseMask(std::wstring_view text) {
    if (!text.empty() && text.front() == L'#')
        text.remove_prefix(1);
    return static_cast<std::uint32_t>(std::wcstoul(std::wstring(text).c_str(), nullptr, 16));
}

} // namespace

bool CLayoutBuilder::Load(const std::wstring& layout, const std::wstring& type) {
    if (!layout.empty() && std::iswdigit(layout.front())) {
        const std::span<const uint8_t> bytes =
            Platform::FindResource(ParseInt(layout), Platform::ToUtf8(type));
        if (bytes.empty()) {
            m_Document.setError(L"Error opening file", layout);
            return false;
        }
        return m_Document.loadFromMemory(bytes.data(), bytes.size());
    }
    if (!layout.empty() && layout.front() == L'<')
        return m_Document.loadFromString(layout);
    return m_Document.loadFromFile(layout);
}

void CLayoutBuilder::ApplyDeclarations(CWindowManagerUI& manager) {
    const CXmlNode root = m_Document.root();
    for (CXmlNode node = root.firstChild(); node; node = node.nextSibling()) {
        const std::wstring_view name = node.name();
        if (EqualsIgnoringCase(name, L"Image")) {
            manager.Images().AddImage(Attribute(node, L"name"), Attribute(node, L"restype"),
                                      ParseMask(Attribute(node, L"mask")), false,
                                      ParseBool(Attribute(node, L"shared")));
        } else if (EqualsIgnoringCase(name, L"Font")) {
            const int id = ParseInt(Attribute(node, L"id", L"-1"));
            std::wstring face = Attribute(node, L"name");
            if (id < 0 || face.empty())
                continue;
            Platform::Font font;
            font.face = face.substr(0, kMaxFaceLength);
            font.pixelSize = ParseInt(Attribute(node, L"size", L"12"));
            font.bold = ParseBool(Attribute(node, L"bold"));
            font.underline = ParseBool(Attribute(node, L"underline"));
            font.italic = ParseBool(Attribute(node, L"italic"));
            manager.AddFont(id, font, ParseBool(Attribute(node, L"default")));
        } else if (EqualsIgnoringCase(name, L"Default")) {
            const std::wstring controlClass = Attribute(node, L"name");
            if (!controlClass.empty())
                manager.AddDefaultAttributeList(controlClass, Attribute(node, L"value"));
        } else if (EqualsIgnoringCase(name, L"MultiLanguage")) {
            manager.AddMultiLanguageString(ParseInt(Attribute(node, L"id")), Attribute(node, L"value"));
        }
    }
}

std::unique_ptr<CControlUI> CLayoutBuilder::Create(const std::wstring& layout, const std::wstring& type,
                                                   IDialogBuilderCallback* callback,
                                                   CWindowManagerUI* manager) {
    m_Callback = callback;
    m_Manager = manager;
    if (!Load(layout, type))
        return nullptr;
    const CXmlNode root = m_Document.root();
    if (manager) {
        ApplyDeclarations(*manager);
        if (EqualsIgnoringCase(root.name(), L"Window") && manager->GetPaintWindow() != Platform::kNoWindow) {
            for (int i = 0; i < root.attributeCount(); ++i)
                manager->SetWindowAttribute(std::wstring(root.attributeName(i)),
                                            std::wstring(root.attributeValue(i)));
        }
    }
    std::unique_ptr<CControlUI> first;
    Parse(root, nullptr, &first);
    return first;
}

CControlUI* CLayoutBuilder::Create(const std::wstring& layout, const std::wstring& type,
                                   IDialogBuilderCallback* callback, CWindowManagerUI* manager,
                                   CContainerUI& parent) {
    m_Callback = callback;
    m_Manager = manager;
    if (!Load(layout, type))
        return nullptr;
    if (manager)
        ApplyDeclarations(*manager);
    return Parse(m_Document.root(), &parent, nullptr);
}

CControlUI* CLayoutBuilder::Parse(CXmlNode node, CContainerUI* parent,
                                  std::unique_ptr<CControlUI>* topLevel) {
    CControlUI* first = nullptr;
    for (CXmlNode element = node.firstChild(); element; element = element.nextSibling()) {
        const std::wstring className(element.name());
        if (IsDeclaration(className))
            continue;
        std::unique_ptr<CControlUI> control = CreateBuiltinControl(className);
        if (!control && m_Callback)
            control = m_Callback->CreateControl(className);
        if (!control)
            continue;

        CControlUI* made = control.get();
        if (element.hasChildren()) {
            auto* container = static_cast<CContainerUI*>(made->GetInterface(L"Container"));
            // Children of a control that holds none are left out.
            if (container)
                Parse(element, container, nullptr);
        }
        if (parent) {
            if (!parent->Add(std::move(control)))
                continue;
        } else if (topLevel && !*topLevel) {
            *topLevel = std::move(control);
        } else {
            // Only the first control of the top level is kept: a layout has one root.
            continue;
        }

        if (m_Manager) {
            made->SetManager(m_Manager, parent, false);
            const std::wstring defaults = m_Manager->GetDefaultAttributeList(made->GetClass());
            if (!defaults.empty())
                made->ApplyAttributeList(defaults);
            for (int i = 0; i < element.attributeCount(); ++i)
                made->SetAttribute(std::wstring(element.attributeName(i)),
                                   std::wstring(element.attributeValue(i)));
            made->SetManager(nullptr, parent, false);
        }
        if (!first)
            first = made;
    }
    return first;
}

} // namespace UiLib
