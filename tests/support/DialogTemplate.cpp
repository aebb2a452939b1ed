#include "tests/support/DialogTemplate.h"

#include <windows.h>

#include <cctype>

#include "tests/support/ByteReader.h"
#include "tests/support/ResourceFile.h"

namespace {

TemplateName ReadName(ByteReader& in)
{
    TemplateName name;
    uint16_t first = in.Word();
    if (first == 0xFFFF) {
        name.isOrdinal = true;
        name.ordinal = in.Word();
    } else if (first != 0) {
        std::wstring text(1, static_cast<wchar_t>(first));
        text += in.WideString();
        name.text = Gbk(text);
    }
    return name;
}

void ReadCaptionAndFont(ByteReader& in, DialogTemplate* dlg)
{
    dlg->menu = ReadName(in);
    dlg->windowClass = ReadName(in);
    dlg->caption = Gbk(in.WideString());
    dlg->pointSize = dlg->weight = 0;
    dlg->italic = dlg->charset = 0;
    if (!(dlg->style & DS_SETFONT))
        return;
    dlg->pointSize = in.Word();
    if (dlg->extended) {
        dlg->weight = in.Word();
        dlg->italic = in.Byte();
        dlg->charset = in.Byte();
    }
    dlg->face = Gbk(in.WideString());
}

TemplateItem ReadItem(ByteReader& in, bool extended)
{
    in.AlignToDword();
    TemplateItem item{};
    if (extended) {
        in.Dword();  // help id
        item.exStyle = in.Dword();
        item.style = in.Dword();
    } else {
        item.style = in.Dword();
        item.exStyle = in.Dword();
    }
    item.x = in.Short();
    item.y = in.Short();
    item.cx = in.Short();
    item.cy = in.Short();
    item.id = extended ? in.Dword() : in.Word();
    item.windowClass = ReadName(in);
    item.text = ReadName(in);
    item.extraBytes = in.Word();
    in.Skip(item.extraBytes);
    return item;
}

}  // namespace

bool ParseDialogTemplate(const std::string& bytes, DialogTemplate* dlg)
{
    ByteReader in(bytes);
    dlg->extended = bytes.size() >= 4 && static_cast<uint8_t>(bytes[2]) == 0xFF &&
                    static_cast<uint8_t>(bytes[3]) == 0xFF;
    if (dlg->extended) {
        in.Skip(4 + 4);  // version and signature, help id
        dlg->exStyle = in.Dword();
        dlg->style = in.Dword();
    } else {
        dlg->style = in.Dword();
        dlg->exStyle = in.Dword();
    }
    uint16_t count = in.Word();
    dlg->x = in.Short();
    dlg->y = in.Short();
    dlg->cx = in.Short();
    dlg->cy = in.Short();
    ReadCaptionAndFont(in, dlg);
    dlg->items.clear();
    for (uint16_t i = 0; i < count && !in.Overrun(); ++i)
        dlg->items.push_back(ReadItem(in, dlg->extended));
    return !in.Overrun();
}

std::string ClassNameOf(const TemplateName& windowClass)
{
    if (windowClass.isOrdinal) {
        static const char* const predefined[] = {"button", "edit", "static",
                                                 "listbox", "scrollbar", "combobox"};
        uint16_t index = static_cast<uint16_t>(windowClass.ordinal - 0x80);
        return index < 6 ? predefined[index] : "#" + std::to_string(windowClass.ordinal);
    }
    std::string name = windowClass.text;
    for (char& ch : name)
        ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return name;
}
