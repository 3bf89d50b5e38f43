#include "res/resource.h"
#include "tests/ui/UiTestSupport.h"
#include "ui/AppObjects.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct VersionString
{
    const char* name;
    const char* value;
};

std::vector<char> OwnVersionRecord()
{
    char path[MAX_PATH] = "";
    GetModuleFileNameA(appInstance, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> record(GetFileVersionInfoSizeA(path, &ignored));
    if (record.empty() || !GetFileVersionInfoA(path, 0, static_cast<DWORD>(record.size()), record.data()))
        record.clear();
    return record;
}

TEST(ResourcesTest, VersionRecordNamesTheProgramInJapanese)
{
    std::vector<char> record = OwnVersionRecord();
    ASSERT_FALSE(record.empty());

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT size = 0;
    ASSERT_TRUE(VerQueryValueA(record.data(), "\\", reinterpret_cast<void**>(&fixed), &size));
    EXPECT_EQ(0x00020000u, fixed->dwFileVersionMS);
    EXPECT_EQ(0u, fixed->dwFileVersionLS);
    EXPECT_EQ(0x00020000u, fixed->dwProductVersionMS);
    EXPECT_EQ(static_cast<DWORD>(VFT_APP), fixed->dwFileType);
    EXPECT_EQ(static_cast<DWORD>(VOS__WINDOWS32), fixed->dwFileOS);

    const VersionString strings[] = {
        {"FileDescription", "Quillowby Ver2.00"}, {"ProductName", "Quillowby Ver2.00"},
        {"Comments", u8"ファイルの連番を作成"},   {"FileVersion", "2, 0, 0, 0"},
        {"ProductVersion", "2, 0, 0, 0"},
    };
    for (const VersionString& expected : strings) {
        char* value = nullptr;
        std::string key = std::string("\\StringFileInfo\\041104b0\\") + expected.name;
        ASSERT_TRUE(VerQueryValueA(record.data(), key.c_str(), reinterpret_cast<void**>(&value), &size))
            << expected.name;
        EXPECT_EQ(AnsiText(expected.value), value) << expected.name;
    }
}

TEST(ResourcesTest, IconIsThirtyTwoPixelsSquare)
{
    HICON icon = LoadIconA(appInstance, MAKEINTRESOURCEA(IDI_APP));
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colour = {};
    GetObjectA(info.hbmColor, sizeof colour, &colour);
    EXPECT_EQ(32, colour.bmWidth);
    EXPECT_EQ(32, colour.bmHeight);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

struct BitmapShape
{
    int id;
    LONG width;
    LONG height;
    DWORD imageBytes;
};

// Every bitmap is an uncompressed 4-bit picture, bottom-up, with the full colour table.
TEST(ResourcesTest, BitmapsHaveTheirSizeAndFormat)
{
    const BitmapShape shapes[] = {
        {IDB_SKIN, 122, 46, 2944},
        {IDB_DESKTOP, 16, 16, 128},
        {IDB_DOCUMENTS, 16, 16, 128},
        {IDB_SAVE, 16, 16, 128},
    };
    for (const BitmapShape& shape : shapes) {
        SCOPED_TRACE(shape.id);
        HRSRC found = FindResourceA(appInstance, MAKEINTRESOURCEA(shape.id), RT_BITMAP);
        ASSERT_NE(nullptr, found);
        const BITMAPINFOHEADER* header =
            static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(appInstance, found)));
        ASSERT_NE(nullptr, header);
        EXPECT_EQ(40u, header->biSize);
        EXPECT_EQ(shape.width, header->biWidth);
        EXPECT_EQ(shape.height, header->biHeight);
        EXPECT_EQ(4, header->biBitCount);
        EXPECT_EQ(static_cast<DWORD>(BI_RGB), header->biCompression);
        EXPECT_EQ(0u, header->biClrUsed);
        EXPECT_EQ(40u + 16 * 4 + shape.imageBytes, SizeofResource(appInstance, found));
    }
}

}  // namespace
