// The resources of both shipped exes, read back from the files: the
// templates' bytes, not the styles the dialog manager shows at run time.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>

#include "app/Resource.h"
#include "tests/support/ByteReader.h"
#include "tests/support/DialogTemplate.h"
#include "tests/support/ResourceFile.h"
#include "tests/support/VersionBlock.h"

namespace {

struct ShippedExe {
    const char* name;
    const char* buildPath;
    const char* manifestArch;
};

void PrintTo(const ShippedExe& exe, std::ostream* os)
{
    *os << exe.name;
}

const ShippedExe kShippedExes[] = {
    {"i686", SHIPPED_EXE_I686, "X86"},
    {"x86_64", SHIPPED_EXE_X86_64, "amd64"},
};

class ShippedResources : public testing::TestWithParam<ShippedExe> {
protected:
    void SetUp() override
    {
        m_path = WindowsPathOf(GetParam().buildPath);
        if (GetFileAttributesA(m_path.c_str()) == INVALID_FILE_ATTRIBUTES)
            GTEST_SKIP() << GetParam().name << " exe not built: " << m_path
                         << " (build it first, or set UPDATER_I686_EXE)";
        m_file.reset(new ResourceFile(m_path));
        ASSERT_TRUE(m_file->IsOpen()) << m_path << ": error " << GetLastError();
    }

    std::string Resource(LPCSTR type, WORD id) const
    {
        std::string bytes = m_file->Bytes(type, id);
        EXPECT_FALSE(bytes.empty()) << "no resource " << id << " in language 0x0804";
        return bytes;
    }

    DialogTemplate Template(WORD id) const
    {
        DialogTemplate dlg{};
        EXPECT_TRUE(ParseDialogTemplate(Resource(RT_DIALOG, id), &dlg)) << "template " << id;
        return dlg;
    }

    std::string m_path;
    std::unique_ptr<ResourceFile> m_file;
};

struct ExpectedItem {
    int id;
    const char* windowClass;
    const char* text;
    int x, y, cx, cy;
    uint32_t style, exStyle;
};

void ExpectItem(const ExpectedItem& want, const TemplateItem& got, bool extended, size_t index)
{
    SCOPED_TRACE("control #" + std::to_string(index + 1));
    uint32_t id = extended ? static_cast<uint32_t>(want.id) : static_cast<uint16_t>(want.id);
    EXPECT_EQ(id, got.id);
    EXPECT_EQ(want.windowClass, ClassNameOf(got.windowClass));
    EXPECT_FALSE(got.text.isOrdinal);
    EXPECT_EQ(want.text, got.text.text);
    EXPECT_EQ(want.x, got.x);
    EXPECT_EQ(want.y, got.y);
    EXPECT_EQ(want.cx, got.cx);
    EXPECT_EQ(want.cy, got.cy);
    EXPECT_EQ(want.style, got.style) << std::hex << got.style;
    EXPECT_EQ(want.exStyle, got.exStyle) << std::hex << got.exStyle;
    EXPECT_EQ(0, got.extraBytes);
}

void ExpectNoMenuNorClass(const DialogTemplate& dlg)
{
    EXPECT_FALSE(dlg.menu.isOrdinal);
    EXPECT_EQ("", dlg.menu.text);
    EXPECT_FALSE(dlg.windowClass.isOrdinal);
    EXPECT_EQ("", dlg.windowClass.text);
}

const ExpectedItem kMainDialogItems[] = {
    {IDOK, "button", "关闭", 229, 233, 57, 16, 0x50010000, 0},
    {IDC_STATIC, "static", "下载速度", 23, 193, 36, 12, 0x50020000, WS_EX_RIGHT},
    {IDC_BTN_UPGRADE, "button", "升级", 165, 233, 57, 16, 0x58010001, 0},
    {IDC_EDIT_INFO, "edit", "", 7, 29, 279, 153, 0x50A10004, 0},
    {IDC_STATIC, "static", "下载进度", 161, 193, 36, 12, 0x50020000, WS_EX_RIGHT},
    {IDC_STATIC_SPEED, "static", "0 KB/秒", 71, 193, 91, 12, 0x50020000, 0},
    {IDC_STATIC_PERCENT, "static", "0%", 214, 193, 36, 12, 0x50020000, 0},
    {IDC_STATIC, "static", "检查更新：", 15, 13, 76, 12, 0x50020000, 0},
    {IDC_PROGRESS, "msctls_progress32", "Progress1", 7, 209, 279, 14, 0x50800000, 0},
    {IDC_BTN_EXTRA, "button", "Demo", 7, 230, 78, 16, 0x40010000, 0},
};

TEST_P(ShippedResources, MainDialogIsTheExtendedTemplateAsTabled)
{
    DialogTemplate dlg = Template(IDD_UPDATER_DIALOG);
    EXPECT_TRUE(dlg.extended);
    EXPECT_EQ(0x90CA00C0u, dlg.style) << std::hex << dlg.style;
    EXPECT_EQ(static_cast<uint32_t>(WS_EX_APPWINDOW), dlg.exStyle) << std::hex << dlg.exStyle;
    EXPECT_EQ(0, dlg.x);
    EXPECT_EQ(0, dlg.y);
    EXPECT_EQ(293, dlg.cx);
    EXPECT_EQ(256, dlg.cy);
    EXPECT_EQ("Updater", dlg.caption);
    ExpectNoMenuNorClass(dlg);
    EXPECT_EQ(9, dlg.pointSize);
    EXPECT_EQ(0, dlg.weight);
    EXPECT_EQ(0, dlg.italic);
    EXPECT_EQ(DEFAULT_CHARSET, dlg.charset);
    EXPECT_EQ("宋体", dlg.face);
    ASSERT_EQ(std::size(kMainDialogItems), dlg.items.size());
    for (size_t i = 0; i < dlg.items.size(); ++i)
        ExpectItem(kMainDialogItems[i], dlg.items[i], true, i);
}

TEST_P(ShippedResources, AboutBoxIsTheClassicTemplateAsTabled)
{
    DialogTemplate dlg = Template(IDD_ABOUTBOX);
    EXPECT_FALSE(dlg.extended);
    EXPECT_EQ(0x80C800C0u, dlg.style) << std::hex << dlg.style;
    EXPECT_EQ(0u, dlg.exStyle);
    EXPECT_EQ(0, dlg.x);
    EXPECT_EQ(0, dlg.y);
    EXPECT_EQ(258, dlg.cx);
    EXPECT_EQ(84, dlg.cy);
    EXPECT_EQ("关于 Updater", dlg.caption);
    ExpectNoMenuNorClass(dlg);
    EXPECT_EQ(9, dlg.pointSize);
    EXPECT_EQ("宋体", dlg.face);
    ASSERT_EQ(6u, dlg.items.size());

    // The icon names the icon group by its number.
    const TemplateItem& icon = dlg.items[0];
    EXPECT_EQ(0xFFFFu, icon.id);
    EXPECT_EQ("static", ClassNameOf(icon.windowClass));
    EXPECT_TRUE(icon.text.isOrdinal);
    EXPECT_EQ(IDR_MAINFRAME, icon.text.ordinal);
    EXPECT_EQ(11, icon.x);
    EXPECT_EQ(17, icon.y);
    EXPECT_EQ(20, icon.cx);
    EXPECT_EQ(20, icon.cy);
    EXPECT_EQ(0x50000003u, icon.style) << std::hex << icon.style;
    EXPECT_EQ(0u, icon.exStyle);

    ExpectItem({IDC_STATIC, "static", "Velmora 16.3.0.1 版", 38, 10, 119, 8, 0x50020080, 0},
               dlg.items[1], false, 1);
    ExpectItem({IDOK, "button", "确定", 201, 7, 50, 14, 0x50030001, 0}, dlg.items[3], false, 3);

    // Items 3, 5 and 6: our own lines, right of the icon, below the version.
    for (size_t i : {2u, 4u, 5u}) {
        SCOPED_TRACE("control #" + std::to_string(i + 1));
        const TemplateItem& line = dlg.items[i];
        EXPECT_EQ(0xFFFFu, line.id);
        EXPECT_EQ("static", ClassNameOf(line.windowClass));
        EXPECT_FALSE(line.text.isOrdinal);
        EXPECT_FALSE(line.text.text.empty());
        EXPECT_EQ(0x50020000u, line.style) << std::hex << line.style;
        EXPECT_EQ(0u, line.exStyle);
        EXPECT_GE(line.x, icon.x + icon.cx);
        EXPECT_GE(line.y, dlg.items[1].y + dlg.items[1].cy);
    }
}

TEST_P(ShippedResources, AboutEntryIsTheOnlyString)
{
    // String 101 is entry 5 of block 7 (16 strings per block).
    std::string block = Resource(RT_STRING, IDS_ABOUTBOX / 16 + 1);
    ByteReader in(block);
    for (int entry = 0; entry < 16; ++entry) {
        std::wstring text(in.Word(), L'\0');
        for (wchar_t& ch : text)
            ch = static_cast<wchar_t>(in.Word());
        if (entry == IDS_ABOUTBOX % 16)
            EXPECT_EQ("关于 Updater(&A)...", Gbk(text));
        else
            EXPECT_EQ(L"", text) << "entry " << entry;
    }
    EXPECT_FALSE(in.Overrun());
}

TEST_P(ShippedResources, IconGroupHoldsThree8BitImages)
{
    ByteReader group(Resource(RT_GROUP_ICON, IDR_MAINFRAME));
    EXPECT_EQ(0, group.Word());
    EXPECT_EQ(1, group.Word());
    ASSERT_EQ(3, group.Word());
    const struct {
        int size;
        WORD id;
    } images[] = {{48, 1}, {32, 2}, {16, 3}};
    for (const auto& want : images) {
        SCOPED_TRACE("icon " + std::to_string(want.id));
        EXPECT_EQ(want.size, group.Byte());  // width
        EXPECT_EQ(want.size, group.Byte());  // height
        EXPECT_EQ(0, group.Byte());          // colour count: 0 means 256
        group.Byte();
        EXPECT_EQ(1, group.Word());          // planes
        EXPECT_EQ(8, group.Word());          // bits per pixel
        uint32_t bytes = group.Dword();
        EXPECT_EQ(want.id, group.Word());

        std::string image = Resource(RT_ICON, want.id);
        EXPECT_EQ(bytes, image.size());
        ByteReader header(image);
        EXPECT_EQ(40u, header.Dword());
        EXPECT_EQ(static_cast<uint32_t>(want.size), header.Dword());
        EXPECT_EQ(static_cast<uint32_t>(want.size * 2), header.Dword());  // image and mask
        EXPECT_EQ(1, header.Word());
        EXPECT_EQ(8, header.Word());
        header.Skip(4 * 4);
        uint32_t coloursUsed = header.Dword();
        EXPECT_TRUE(coloursUsed == 0 || coloursUsed == 256) << coloursUsed;
    }
    EXPECT_FALSE(group.Overrun());
}

TEST_P(ShippedResources, VersionBlockIs19_0_0_3WithItsTableInOrder)
{
    VersionNode root;
    ASSERT_TRUE(ParseVersionBlock(Resource(RT_VERSION, 1), &root));
    EXPECT_EQ("VS_VERSION_INFO", root.key);

    ASSERT_EQ(sizeof(VS_FIXEDFILEINFO), root.value.size());
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, root.value.data(), sizeof fixed);
    EXPECT_EQ(0xFEEF04BDu, fixed.dwSignature);
    EXPECT_EQ(0x00130000u, fixed.dwFileVersionMS);
    EXPECT_EQ(0x00000003u, fixed.dwFileVersionLS);
    EXPECT_EQ(0x00130000u, fixed.dwProductVersionMS);
    EXPECT_EQ(0x00000003u, fixed.dwProductVersionLS);
    EXPECT_EQ(0x3Fu, fixed.dwFileFlagsMask);
    EXPECT_EQ(0u, fixed.dwFileFlags);
    EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed.dwFileOS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed.dwFileType);
    EXPECT_EQ(0u, fixed.dwFileSubtype);
    EXPECT_EQ(0u, fixed.dwFileDateMS);
    EXPECT_EQ(0u, fixed.dwFileDateLS);

    ASSERT_EQ(2u, root.children.size());
    const VersionNode& strings = root.children[0];
    EXPECT_EQ("StringFileInfo", strings.key);
    ASSERT_EQ(1u, strings.children.size());
    const VersionNode& table = strings.children[0];
    EXPECT_EQ("080404b0", table.key);

    const struct {
        const char* key;
        const char* value;  // null: any text but an empty one
    } entries[] = {
        {"Comments", ""},
        {"CompanyName", ""},
        {"FileDescription", "Updater Quillorn引导程序"},
        {"FileVersion", "19, 0, 0, 3"},
        {"InternalName", "Updater"},
        {"LegalCopyright", nullptr},
        {"LegalTrademarks", ""},
        {"OriginalFilename", "Updater.EXE"},
        {"PrivateBuild", ""},
        {"ProductName", "Updater 应用程序"},
        {"ProductVersion", "19, 0, 0, 3"},
        {"SpecialBuild", ""},
    };
    ASSERT_EQ(std::size(entries), table.children.size());
    for (size_t i = 0; i < table.children.size(); ++i) {
        const VersionNode& entry = table.children[i];
        EXPECT_EQ(entries[i].key, entry.key);
        EXPECT_TRUE(entry.isText) << entry.key;
        if (entries[i].value != nullptr)
            EXPECT_EQ(entries[i].value, entry.value) << entry.key;
        else
            EXPECT_FALSE(entry.value.empty()) << entry.key;
    }

    const VersionNode& vars = root.children[1];
    EXPECT_EQ("VarFileInfo", vars.key);
    const VersionNode* translation = vars.Child("Translation");
    ASSERT_NE(nullptr, translation);
    EXPECT_EQ(std::string("\x04\x08\xB0\x04", 4), translation->value);
}

// The opening tag of the next element named tag at or after *from, which is
// moved past it; empty when there is none.
std::string NextElement(const std::string& xml, const std::string& tag, size_t* from)
{
    size_t start = xml.find("<" + tag + " ", *from);
    size_t stop = start == std::string::npos ? start : xml.find('>', start);
    if (stop == std::string::npos)
        return "";
    *from = stop + 1;
    return xml.substr(start, stop + 1 - start);
}

std::string Attribute(const std::string& element, const std::string& name)
{
    std::string marker = " " + name + "=\"";
    size_t start = element.find(marker);
    if (start == std::string::npos)
        return "<absent>";
    start += marker.size();
    return element.substr(start, element.find('"', start) - start);
}

TEST_P(ShippedResources, ManifestAsksForCommonControls6AndAdministrator)
{
    const std::string xml = Resource(MAKEINTRESOURCEA(24), 1);
    const std::string arch = GetParam().manifestArch;
    EXPECT_EQ(0u, xml.find("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));

    size_t at = 0;
    std::string assembly = NextElement(xml, "assembly", &at);
    EXPECT_EQ("urn:schemas-microsoft-com:asm.v1", Attribute(assembly, "xmlns"));
    EXPECT_EQ("1.0", Attribute(assembly, "manifestVersion"));

    std::string own = NextElement(xml, "assemblyIdentity", &at);
    EXPECT_EQ("1.0.0.0", Attribute(own, "version"));
    EXPECT_EQ(arch, Attribute(own, "processorArchitecture"));
    EXPECT_EQ("win32", Attribute(own, "type"));
    EXPECT_NE("<absent>", Attribute(own, "name"));
    EXPECT_NE(std::string::npos, xml.find("<description>", at));

    NextElement(xml, "dependency", &at);
    std::string controls = NextElement(xml, "assemblyIdentity", &at);
    EXPECT_EQ("win32", Attribute(controls, "type"));
    EXPECT_EQ("Microsoft.Windows.Common-Controls", Attribute(controls, "name"));
    EXPECT_EQ("6.0.0.0", Attribute(controls, "version"));
    EXPECT_EQ(arch, Attribute(controls, "processorArchitecture"));
    EXPECT_EQ("6595b64144ccf1df", Attribute(controls, "publicKeyToken"));
    EXPECT_EQ("*", Attribute(controls, "language"));

    std::string trust = NextElement(xml, "trustInfo", &at);
    EXPECT_EQ("urn:schemas-microsoft-com:asm.v3", Attribute(trust, "xmlns"));
    size_t security = xml.find("<security>", at);
    size_t privileges = xml.find("<requestedPrivileges>", security);
    ASSERT_NE(std::string::npos, privileges);
    at = privileges;
    std::string level = NextElement(xml, "requestedExecutionLevel", &at);
    EXPECT_EQ("requireAdministrator", Attribute(level, "level"));
    EXPECT_EQ("false", Attribute(level, "uiAccess"));
}

INSTANTIATE_TEST_SUITE_P(BothBuilds, ShippedResources, testing::ValuesIn(kShippedExes),
                         [](const testing::TestParamInfo<ShippedExe>& info) {
                             return std::string(info.param.name);
                         });

}  // namespace
