// The icon group and the version record, read from the executable file as Explorer would.
#include <windows.h>

#include <cstring>
#include <vector>

#include "harness.h"
#include "scenarios.h"

namespace e2e {

namespace {

constexpr WORD kChineseSimplified = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);  // 0x0804
constexpr WORD kIconGroup = 101;
// RT_ICON, RT_GROUP_ICON and RT_VERSION as ANSI resource names.
const LPCSTR kIconType = MAKEINTRESOURCEA(3);
const LPCSTR kGroupIconType = MAKEINTRESOURCEA(14);
const LPCSTR kVersionType = MAKEINTRESOURCEA(16);

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved;
    WORD type;
    WORD count;
};
struct GroupIconEntry {
    BYTE width;
    BYTE height;
    BYTE colorCount;
    BYTE reserved;
    WORD planes;
    WORD bitCount;
    DWORD bytesInRes;
    WORD id;
};
#pragma pack(pop)

BOOL CALLBACK CollectLanguage(HMODULE, LPCSTR, LPCSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

void CheckOnlyChinese(HMODULE module, LPCSTR type, LPCSTR name, const char* what) {
    std::vector<WORD> languages;
    EnumResourceLanguagesA(module, type, name, CollectLanguage, reinterpret_cast<LONG_PTR>(&languages));
    if (CheckNumber(std::string(what) + ": number of languages", 1, static_cast<long long>(languages.size()))) {
        CheckHex(std::string(what) + ": language", kChineseSimplified, languages.front());
    }
}

// Size and depth an icon image declares of itself: a PNG's IHDR or a DIB's header (whose
// height counts the image and its mask).
struct ImageHeader {
    long width = -1;
    long height = -1;
    int bitCount = -1;
};

ImageHeader ReadImageHeader(const BYTE* data, DWORD size) {
    ImageHeader header;
    static const BYTE kPng[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    if (size >= 29 && std::memcmp(data, kPng, 8) == 0) {
        auto big = [&](int at) { return (data[at] << 24) | (data[at + 1] << 16) | (data[at + 2] << 8) | data[at + 3]; };
        header.width = big(16);
        header.height = big(20);
        int depth = data[24], colourType = data[25];
        int channels = colourType == 6 ? 4 : colourType == 2 ? 3 : colourType == 4 ? 2 : 1;
        header.bitCount = depth * channels;
    } else if (size >= sizeof(BITMAPINFOHEADER)) {
        BITMAPINFOHEADER info;
        std::memcpy(&info, data, sizeof info);
        header.width = info.biWidth;
        header.height = info.biHeight / 2;
        header.bitCount = info.biBitCount;
    }
    return header;
}

void CheckIconGroup(HMODULE module) {
    Step step("icon group 101");
    CheckOnlyChinese(module, kGroupIconType, MAKEINTRESOURCEA(kIconGroup), "icon group 101");
    HRSRC found = FindResourceExA(module, kGroupIconType, MAKEINTRESOURCEA(kIconGroup),
                                  kChineseSimplified);
    if (!Check(found != nullptr, "RT_GROUP_ICON 101 in language 0x0804")) return;
    const auto* data = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    DWORD size = SizeofResource(module, found);
    if (!Check(data && size >= sizeof(GroupIconHeader), "the icon group has a header")) return;
    GroupIconHeader header;
    std::memcpy(&header, data, sizeof header);
    CheckNumber("group type (1: icons)", 1, header.type);

    struct Image {
        int size;
        int bitCount;
    };
    const Image expected[] = {{48, 4}, {32, 4}, {16, 4}, {48, 8}, {32, 8}, {16, 8}, {128, 32}, {48, 32}, {32, 24}, {16, 32}};
    constexpr int kCount = static_cast<int>(sizeof expected / sizeof expected[0]);
    if (!CheckNumber("number of images", kCount, header.count)) return;
    if (!Check(size >= sizeof header + kCount * sizeof(GroupIconEntry), "the icon group holds all its entries")) return;

    for (int i = 0; i < kCount; ++i) {
        Step image("image " + std::to_string(i + 1) + " (" + std::to_string(expected[i].size) + "x" +
                   std::to_string(expected[i].size) + ", " + std::to_string(expected[i].bitCount) + " bpp)");
        GroupIconEntry entry;
        std::memcpy(&entry, data + sizeof header + i * sizeof entry, sizeof entry);
        // 256 would be stored as 0; none of these is that large.
        CheckNumber("directory width", expected[i].size, entry.width);
        CheckNumber("directory height", expected[i].size, entry.height);
        CheckNumber("directory bit count", expected[i].bitCount, entry.bitCount);
        HRSRC icon = FindResourceExA(module, kIconType, MAKEINTRESOURCEA(entry.id), kChineseSimplified);
        if (!Check(icon != nullptr, "its RT_ICON " + std::to_string(entry.id) + " exists in language 0x0804")) continue;
        DWORD iconSize = SizeofResource(module, icon);
        CheckNumber("image size matches the directory", entry.bytesInRes, iconSize);
        ImageHeader own = ReadImageHeader(static_cast<const BYTE*>(LockResource(LoadResource(module, icon))), iconSize);
        CheckNumber("image's own width", expected[i].size, own.width);
        CheckNumber("image's own height", expected[i].size, own.height);
        CheckNumber("image's own bit count", expected[i].bitCount, own.bitCount);
    }
}

std::string VersionString(const std::vector<char>& block, const char* key, bool* present) {
    char* value = nullptr;
    UINT length = 0;
    std::string path = std::string("\\StringFileInfo\\080404B0\\") + key;
    *present = VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length) && value;
    if (!*present) return {};
    std::string text(value, length);
    while (!text.empty() && text.back() == '\0') text.pop_back();
    return text;
}

void CheckVersion(HMODULE module, const std::string& exePath) {
    Step step("version record");
    CheckOnlyChinese(module, kVersionType, MAKEINTRESOURCEA(VS_VERSION_INFO), "RT_VERSION 1");

    DWORD handle = 0;
    DWORD size = GetFileVersionInfoSizeA(exePath.c_str(), &handle);
    if (!Check(size > 0, "GetFileVersionInfoSizeA finds a version record")) return;
    std::vector<char> block(size);
    if (!Check(GetFileVersionInfoA(exePath.c_str(), 0, size, block.data()) != 0, "GetFileVersionInfoA")) return;

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (Check(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length) && fixed &&
                  length >= sizeof *fixed,
              "fixed file info")) {
        CheckHex("signature", 0xFEEF04BD, fixed->dwSignature);
        CheckHex("file version, high part (1.0)", 0x00010000, fixed->dwFileVersionMS);
        CheckHex("file version, low part (0.1)", 0x00000001, fixed->dwFileVersionLS);
        CheckHex("product version, high part (1.0)", 0x00010000, fixed->dwProductVersionMS);
        CheckHex("product version, low part (0.1)", 0x00000001, fixed->dwProductVersionLS);
        CheckHex("file OS (VOS_NT_WINDOWS32)", VOS_NT_WINDOWS32, fixed->dwFileOS);
        CheckHex("file type (VFT_APP)", VFT_APP, fixed->dwFileType);
    }

    WORD* translation = nullptr;
    if (Check(VerQueryValueA(block.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                             &length) &&
                  translation,
              "translation table")) {
        if (CheckNumber("translation entries", 1, length / 4)) {
            CheckHex("translation language", kChineseSimplified, translation[0]);
            CheckNumber("translation code page (1200, Unicode)", 1200, translation[1]);
        }
    }

    struct Key {
        const char* name;
        const char* value;
        bool required;
    };
    const Key keys[] = {
        {"InternalName", "Quillsparrow", true},
        {"ProductName", "Quillsparrow", true},
        {"OriginalFilename", "Quillsparrow.exe", true},
        {"FileVersion", "1, 0, 0, 1", false},
        {"ProductVersion", "1, 0, 0, 1", false},
    };
    for (const Key& key : keys) {
        bool present = false;
        std::string value = VersionString(block, key.name, &present);
        if (!present) {
            Check(!key.required, std::string("string ") + key.name + " in block 080404B0");
            continue;
        }
        CheckText(std::string("string ") + key.name, key.value, value);
    }
}

}  // namespace

void CheckResources(const std::string& exePath) {
    HMODULE module = LoadLibraryExA(exePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module) throw Fatal("cannot load " + exePath + " as a data file (error " + std::to_string(GetLastError()) + ")");
    CheckIconGroup(module);
    CheckVersion(module, exePath);
    FreeLibrary(module);
}

}  // namespace e2e
