#include "tools/skin-preview/ControlDump.h"

#include "platform/TextCodec.h"
#include "uilib/controls/ContainerUI.h"

namespace {

std::string Quoted(const std::wstring& text) {
    std::string quoted = "\"";
    for (char c : Platform::ToUtf8(text)) {
        switch (c) {
        case '\\':
            quoted += "\\\\";
            break;
        case '"':
            quoted += "\\\"";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        default:
            quoted += c;
            break;
        }
    }
    return quoted + '"';
}

void Dump(UiLib::CControlUI& control, int depth, std::string& out) {
    const Platform::Rect& pos = control.GetPos();
    out += std::string(size_t(depth) * 2, ' ') + Platform::ToUtf8(control.GetClass());
    out += " name=" + Quoted(control.GetName());
    out += " rect=" + std::to_string(pos.left) + ',' + std::to_string(pos.top) + ',' +
           std::to_string(pos.right) + ',' + std::to_string(pos.bottom);
    out += std::string(" visible=") + (control.IsVisible() ? '1' : '0');
    out += " text=" + Quoted(control.GetText()) + '\n';
    if (auto* container = static_cast<UiLib::CContainerUI*>(control.GetInterface(L"Container")))
        for (int i = 0; i < container->GetCount(); ++i)
            Dump(*container->GetItemAt(i), depth + 1, out);
}

} // namespace

std::string DumpControlTree(UiLib::CControlUI& root) {
    std::string out;
    Dump(root, 0, out);
    return out;
}
