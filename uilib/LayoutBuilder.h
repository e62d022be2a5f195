#pragma once

#include "uilib/XmlDocument.h"
#include "uilib/controls/ControlUI.h"

#include <memory>
#include <string>

namespace UiLib {

class CContainerUI;
class CWindowManagerUI;

// Makes the controls that the framework does not know, by layout element name.
class IDialogBuilderCallback {
public:
    virtual std::unique_ptr<CControlUI> CreateControl(const std::wstring& className) = 0;

protected:
    ~IDialogBuilderCallback() = default;
};

// Turns a layout document into a control tree: declarations (pictures, fonts, default attributes,
// texts) go to the window manager, the root's attributes to the window, every other element
// becomes a control with its attributes.
class CLayoutBuilder {
public:
    // `layout` is a resource number (of resource type `type`), a text beginning with "<", or a file
    // name in the skin. The first control of the top level is returned; null when the document
    // does not load or yields no control (ErrorMessage tells why for a document that failed).
    std::unique_ptr<CControlUI> Create(const std::wstring& layout, const std::wstring& type = {},
                                       IDialogBuilderCallback* callback = nullptr,
                                       CWindowManagerUI* manager = nullptr);
    // The same with the controls added to `parent`; gives the first of them.
    CControlUI* Create(const std::wstring& layout, const std::wstring& type, IDialogBuilderCallback* callback,
                       CWindowManagerUI* manager, CContainerUI& parent);

    const CXmlDocument& Document() const { return m_Document; }
    std::wstring_view ErrorMessage() const { return m_Document.errorMessage(); }
    std::wstring_view ErrorLocation() const { return m_Document.errorLocation(); }

private:
    bool Load(const std::wstring& layout, const std::wstring& type);
    void ApplyDeclarations(CWindowManagerUI& manager);
    // Builds the children of `node`; those made at this level are added to `parent` or, without one,
    // the first is handed back through `topLevel`.
    CControlUI* Parse(CXmlNode node, CContainerUI* parent, std::unique_ptr<CControlUI>* topLevel);

    CXmlDocument m_Document;
    IDialogBuilderCallback* m_Callback = nullptr;
    CWindowManagerUI* m_Manager = nullptr;
};

} // namespace UiLib
