// The resources of the programs, read back from the file the way Windows
// reads them: the version, the icon, the manifest and their language. The
// program checked is the one TARNWICK_RESOURCES_PROGRAM names, or else this
// test program, which carries tarnwick.exe's resources. A file named
// tarnwick-list.exe is held to the console program's resources: a version
// block of its own and a manifest without what a window needs (no icon, no
// Common Controls, no dpi awareness).
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <cwchar>
#include <iterator>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <utility>
#include <vector>

#include "platform/win32/resources/resource.h"

namespace {

constexpr WORD kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

const std::wstring& ProgramPath() {
  static const std::wstring path = [] {
    std::vector<wchar_t> buffer(32768);
    const auto size = static_cast<DWORD>(buffer.size());
    DWORD length = GetEnvironmentVariableW(L"TARNWICK_RESOURCES_PROGRAM", buffer.data(), size);
    if (length == 0 || length >= size) {
      length = GetModuleFileNameW(nullptr, buffer.data(), size);
    }
    std::wstring result(buffer.data(), length);
    // A path from the build machine; Wine finds it on the current drive.
    std::replace(result.begin(), result.end(), L'/', L'\\');
    return result;
  }();
  return path;
}

bool ChecksTheConsoleProgram() {
  const std::wstring& path = ProgramPath();
  const std::wstring name = path.substr(path.find_last_of(L'\\') + 1);
  return CompareStringOrdinal(name.c_str(), -1, L"tarnwick-list.exe", -1, TRUE) == CSTR_EQUAL;
}

// The program loaded as data: its resources, none of its code.
HMODULE Program() {
  static const HMODULE module =
      LoadLibraryExW(ProgramPath().c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  return module;
}

std::string_view ResourceBytes(LPCWSTR type, LPCWSTR name) {
  const HRSRC found = FindResourceExW(Program(), type, name, kJapanese);
  if (found == nullptr) return {};
  const void* data = LockResource(LoadResource(Program(), found));
  return {static_cast<const char*>(data), SizeofResource(Program(), found)};
}

template <typename T>
T Read(std::string_view bytes, size_t at) {
  T value{};
  if (at + sizeof(T) <= bytes.size()) std::memcpy(&value, bytes.data() + at, sizeof(T));
  return value;
}

class ResourcesTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(Program(), nullptr) << "cannot load " << testing::PrintToString(ProgramPath())
                                  << ", error " << GetLastError();
  }
};

// What only the window's program carries.
class WindowResourcesTest : public ResourcesTest {
 protected:
  void SetUp() override {
    if (ChecksTheConsoleProgram()) GTEST_SKIP() << "tarnwick-list.exe has no window";
    ResourcesTest::SetUp();
  }
};

// The version ------------------------------------------------------------

constexpr const wchar_t* kStringTable = L"041104B0";
using VersionStrings = std::vector<std::pair<std::wstring, std::wstring>>;
const VersionStrings kWindowVersionStrings = {
    {L"FileVersion", L"1.00"},
    {L"InternalName", L"tarnwick"},
    {L"OriginalFilename", L"tarnwick.exe"},
    {L"ProductName", L"Tarnwick"},
    {L"ProductVersion", L"1.00"},
};
const VersionStrings kConsoleVersionStrings = {
    {L"FileDescription",
     L"Tarnwick \u30B3\u30DE\u30F3\u30C9\u30E9\u30A4\u30F3\u7248"},  // コマンドライン版
    {L"FileVersion", L"1.00"},
    {L"InternalName", L"tarnwick-list"},
    {L"OriginalFilename", L"tarnwick-list.exe"},
    {L"ProductName", L"Tarnwick"},
    {L"ProductVersion", L"1.00"},
};
const VersionStrings& ExpectedVersionStrings() {
  return ChecksTheConsoleProgram() ? kConsoleVersionStrings : kWindowVersionStrings;
}

class VersionTest : public ResourcesTest {
 protected:
  void SetUp() override {
    ResourcesTest::SetUp();
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(ProgramPath().c_str(), &ignored);
    ASSERT_NE(size, 0u) << "no version, error " << GetLastError();
    block_.resize(size);
    ASSERT_TRUE(GetFileVersionInfoW(ProgramPath().c_str(), 0, size, block_.data()));
  }

  template <typename T>
  const T* Query(const std::wstring& path, UINT& length) {
    void* value = nullptr;
    length = 0;
    if (!VerQueryValueW(block_.data(), path.c_str(), &value, &length)) return nullptr;
    return static_cast<const T*>(value);
  }

  std::vector<char> block_;
};

TEST_F(VersionTest, FixedFileInfo) {
  UINT length = 0;
  const auto* info = Query<VS_FIXEDFILEINFO>(L"\\", length);
  ASSERT_NE(info, nullptr);
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  EXPECT_EQ(info->dwSignature, VS_FFI_SIGNATURE);
  EXPECT_EQ(info->dwFileVersionMS, 0x00010000u);  // 1.0
  EXPECT_EQ(info->dwFileVersionLS, 0x00000000u);  // .0.0
  EXPECT_EQ(info->dwProductVersionMS, 0x00010000u);
  EXPECT_EQ(info->dwProductVersionLS, 0x00000000u);
  EXPECT_EQ(info->dwFileFlags & info->dwFileFlagsMask, 0u);
  EXPECT_EQ(info->dwFileFlags, 0u);
  EXPECT_EQ(info->dwFileOS, static_cast<DWORD>(VOS__WINDOWS32));
  EXPECT_EQ(info->dwFileType, static_cast<DWORD>(VFT_APP));
  EXPECT_EQ(info->dwFileSubtype, static_cast<DWORD>(VFT2_UNKNOWN));
}

TEST_F(VersionTest, TranslationIsJapaneseInUnicode) {
  UINT length = 0;
  const auto* translation = Query<WORD>(L"\\VarFileInfo\\Translation", length);
  ASSERT_NE(translation, nullptr);
  ASSERT_EQ(length, 2 * sizeof(WORD));
  EXPECT_EQ(translation[0], 0x0411);
  EXPECT_EQ(translation[1], 0x04B0);
}

TEST_F(VersionTest, Strings) {
  for (const auto& [key, expected] : ExpectedVersionStrings()) {
    SCOPED_TRACE(testing::PrintToString(key));
    UINT length = 0;
    const auto* value =
        Query<wchar_t>(std::wstring(L"\\StringFileInfo\\") + kStringTable + L"\\" + key, length);
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(std::wstring(value, wcsnlen(value, length)), expected);
  }
}

// One node of the VS_VERSIONINFO tree: its length, the length and type of
// its value, its key, then the value and the children, each on a 4-byte
// boundary.
struct VersionNode {
  std::wstring key;
  size_t value_bytes = 0;
  std::vector<VersionNode> children;
};

size_t Align4(size_t at) { return (at + 3) & ~size_t{3}; }

bool ReadVersionNode(std::string_view bytes, VersionNode& node) {
  const size_t length = Read<WORD>(bytes, 0);
  if (length < 6 || length > bytes.size()) return false;
  const size_t value_length = Read<WORD>(bytes, 2);
  const WORD type = Read<WORD>(bytes, 4);
  size_t at = 6;
  for (; Read<wchar_t>(bytes, at) != 0; at += 2) {
    if (at + 2 >= length) return false;
    node.key += Read<wchar_t>(bytes, at);
  }
  at = Align4(at + 2);
  node.value_bytes = type == 1 ? 2 * value_length : value_length;
  if (at + node.value_bytes > length) return false;
  for (at = Align4(at + node.value_bytes); at < length; at = Align4(at + Read<WORD>(bytes, at))) {
    VersionNode& child = node.children.emplace_back();
    if (!ReadVersionNode(bytes.substr(at, length - at), child)) return false;
  }
  return true;
}

std::vector<std::wstring> Keys(const VersionNode& node) {
  std::vector<std::wstring> keys;
  for (const auto& child : node.children) keys.push_back(child.key);
  return keys;
}

TEST_F(VersionTest, OneStringTableOfTheseStrings) {
  const std::string_view bytes = ResourceBytes(RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO));
  VersionNode root;
  ASSERT_TRUE(ReadVersionNode(bytes, root));
  EXPECT_EQ(root.key, L"VS_VERSION_INFO");
  EXPECT_EQ(root.value_bytes, sizeof(VS_FIXEDFILEINFO));
  ASSERT_EQ(Keys(root), (std::vector<std::wstring>{L"StringFileInfo", L"VarFileInfo"}));

  const VersionNode& strings = root.children[0];
  ASSERT_EQ(Keys(strings), std::vector<std::wstring>{kStringTable});
  std::vector<std::wstring> keys = Keys(strings.children[0]);
  std::sort(keys.begin(), keys.end());
  std::vector<std::wstring> expected;
  for (const auto& string : ExpectedVersionStrings()) expected.push_back(string.first);
  EXPECT_EQ(keys, expected);

  const VersionNode& variables = root.children[1];
  ASSERT_EQ(Keys(variables), std::vector<std::wstring>{L"Translation"});
  EXPECT_EQ(variables.children[0].value_bytes, 4u);
}

// The language -------------------------------------------------------------

BOOL CALLBACK AddLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR languages) {
  reinterpret_cast<std::vector<WORD>*>(languages)->push_back(language);
  return TRUE;
}

TEST_F(ResourcesTest, EveryResourceIsJapanese) {
  std::vector<std::tuple<const char*, LPCWSTR, LPCWSTR>> resources = {
      {"version", RT_VERSION, MAKEINTRESOURCEW(VS_VERSION_INFO)},
      {"manifest", RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID},
  };
  if (!ChecksTheConsoleProgram()) {
    resources.emplace_back("icon", RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_TARNWICK));
  }
  for (const auto& [what, type, name] : resources) {
    SCOPED_TRACE(what);
    EXPECT_NE(FindResourceExW(Program(), type, name, kJapanese), nullptr);
    std::vector<WORD> languages;
    EnumResourceLanguagesW(Program(), type, name, AddLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    EXPECT_EQ(languages, std::vector<WORD>{0x0411});
  }
}

// The icon -------------------------------------------------------------------

#pragma pack(push, 2)
struct GroupIconEntry {
  BYTE width;
  BYTE height;
  BYTE colour_count;
  BYTE reserved;
  WORD planes;
  WORD bit_count;
  DWORD bytes;
  WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14);

// One image of the icon, decoded: palette indices and mask, top row first.
struct IconImage {
  GroupIconEntry entry{};
  std::string_view bytes;
  BITMAPINFOHEADER header{};
  std::vector<COLORREF> palette;
  std::vector<COLORREF> pixels;
  std::vector<bool> transparent;

  COLORREF At(int x, int y) const { return pixels[y * entry.width + x]; }
  bool TransparentAt(int x, int y) const { return transparent[y * entry.width + x]; }
};

size_t Stride(int width, int bits) { return (width * bits + 31) / 32 * 4; }

int Bits(std::string_view rows, int width, int height, int bits, int x, int y) {
  const size_t at = (height - 1 - y) * Stride(width, bits) + x * bits / 8;
  const int shift = 8 - bits - x * bits % 8;
  return (static_cast<unsigned char>(rows[at]) >> shift) & ((1 << bits) - 1);
}

std::vector<IconImage> IconImages() {
  const std::string_view group = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_TARNWICK));
  std::vector<IconImage> images;
  const WORD count = Read<WORD>(group, 4);
  for (WORD i = 0; i < count && 6 + (i + 1) * sizeof(GroupIconEntry) <= group.size(); ++i) {
    IconImage& image = images.emplace_back();
    image.entry = Read<GroupIconEntry>(group, 6 + i * sizeof(GroupIconEntry));
    image.bytes = ResourceBytes(RT_ICON, MAKEINTRESOURCEW(image.entry.id));
    image.header = Read<BITMAPINFOHEADER>(image.bytes, 0);
    const int width = image.header.biWidth;
    const int height = image.header.biHeight / 2;
    const int bits = image.header.biBitCount;
    const size_t colours = bits <= 8 ? size_t{1} << bits : 0;
    const size_t xor_size = Stride(width, bits) * height;
    if (image.header.biSize != sizeof(BITMAPINFOHEADER) || width != image.entry.width ||
        height != image.entry.height || image.header.biCompression != BI_RGB ||
        image.bytes.size() !=
            sizeof(BITMAPINFOHEADER) + 4 * colours + xor_size + Stride(width, 1) * height) {
      continue;  // Not decoded: the checks of the header say why.
    }
    for (size_t c = 0; c < colours; ++c) {
      const auto quad = Read<RGBQUAD>(image.bytes, sizeof(BITMAPINFOHEADER) + 4 * c);
      image.palette.push_back(RGB(quad.rgbRed, quad.rgbGreen, quad.rgbBlue));
    }
    const std::string_view colour_rows = image.bytes.substr(sizeof(BITMAPINFOHEADER) + 4 * colours);
    const std::string_view mask_rows = colour_rows.substr(xor_size);
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        image.pixels.push_back(image.palette[Bits(colour_rows, width, height, bits, x, y)]);
        image.transparent.push_back(Bits(mask_rows, width, height, 1, x, y) == 1);
      }
    }
  }
  return images;
}

const std::vector<COLORREF> kVgaPalette = {
    RGB(0x00, 0x00, 0x00), RGB(0x80, 0x00, 0x00), RGB(0x00, 0x80, 0x00), RGB(0x80, 0x80, 0x00),
    RGB(0x00, 0x00, 0x80), RGB(0x80, 0x00, 0x80), RGB(0x00, 0x80, 0x80), RGB(0xC0, 0xC0, 0xC0),
    RGB(0x80, 0x80, 0x80), RGB(0xFF, 0x00, 0x00), RGB(0x00, 0xFF, 0x00), RGB(0xFF, 0xFF, 0x00),
    RGB(0x00, 0x00, 0xFF), RGB(0xFF, 0x00, 0xFF), RGB(0x00, 0xFF, 0xFF), RGB(0xFF, 0xFF, 0xFF),
};
constexpr COLORREF kBlack = RGB(0x00, 0x00, 0x00), kNavy = RGB(0x00, 0x00, 0x80),
                   kRed = RGB(0xFF, 0x00, 0x00), kYellow = RGB(0xFF, 0xFF, 0x00),
                   kBlue = RGB(0x00, 0x00, 0xFF), kWhite = RGB(0xFF, 0xFF, 0xFF);

TEST_F(WindowResourcesTest, IconGroupHoldsThreeImages) {
  const std::string_view group = ResourceBytes(RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_TARNWICK));
  ASSERT_GE(group.size(), 6u);
  EXPECT_EQ(Read<WORD>(group, 0), 0);  // reserved
  EXPECT_EQ(Read<WORD>(group, 2), 1);  // icons, not cursors
  ASSERT_EQ(Read<WORD>(group, 4), 3);
  ASSERT_EQ(group.size(), 6 + 3 * sizeof(GroupIconEntry));

  std::multiset<std::tuple<int, int, int, int>> sizes;
  for (const IconImage& image : IconImages()) {
    const GroupIconEntry& entry = image.entry;
    SCOPED_TRACE(testing::Message() << "image " << entry.id);
    sizes.emplace(entry.width, entry.height, entry.colour_count, entry.bit_count);
    EXPECT_EQ(entry.reserved, 0);
    EXPECT_EQ(entry.planes, 1);
    EXPECT_EQ(entry.bytes, image.bytes.size());
  }
  EXPECT_EQ(sizes, (std::multiset<std::tuple<int, int, int, int>>{
                       {32, 32, 2, 1}, {32, 32, 16, 4}, {16, 16, 16, 4}}));
}

TEST_F(WindowResourcesTest, IconImagesAgreeWithTheGroup) {
  for (const IconImage& image : IconImages()) {
    const GroupIconEntry& entry = image.entry;
    SCOPED_TRACE(testing::Message() << "image " << entry.id << ", " << int{entry.width} << "x"
                                    << int{entry.height} << " in " << int{entry.colour_count});
    ASSERT_FALSE(image.bytes.empty());
    EXPECT_EQ(image.header.biSize, sizeof(BITMAPINFOHEADER));
    EXPECT_EQ(image.header.biWidth, entry.width);
    EXPECT_EQ(image.header.biHeight, 2 * entry.height);  // the colours, then the mask
    EXPECT_EQ(image.header.biPlanes, 1);
    EXPECT_EQ(image.header.biBitCount, entry.bit_count);
    EXPECT_EQ(image.header.biCompression, static_cast<DWORD>(BI_RGB));
    ASSERT_EQ(image.pixels.size(), size_t{entry.width} * entry.height) << "size does not add up";
    if (entry.colour_count == 16) {
      EXPECT_EQ(image.palette, kVgaPalette);
    } else {
      EXPECT_EQ(image.palette, (std::vector<COLORREF>{kBlack, kWhite}));
    }

    HICON icon =
        CreateIconFromResourceEx(reinterpret_cast<BYTE*>(const_cast<char*>(image.bytes.data())),
                                 static_cast<DWORD>(image.bytes.size()), TRUE, 0x00030000,
                                 entry.width, entry.height, LR_DEFAULTCOLOR);
    EXPECT_NE(icon, nullptr) << "error " << GetLastError();
    if (icon != nullptr) DestroyIcon(icon);
  }
}

TEST_F(WindowResourcesTest, SystemPicksTheIconAtBothSizes) {
  for (const int size : {16, 32}) {
    SCOPED_TRACE(size);
    auto icon = static_cast<HICON>(
        LoadImageW(Program(), MAKEINTRESOURCEW(IDI_TARNWICK), IMAGE_ICON, size, size, 0));
    ASSERT_NE(icon, nullptr) << "error " << GetLastError();
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP colours{};
    ASSERT_NE(GetObjectW(info.hbmColor, sizeof(colours), &colours), 0);
    EXPECT_EQ(colours.bmWidth, size);
    EXPECT_EQ(colours.bmHeight, size);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
  }
}

// The smallest rectangle around some pixels.
struct Box {
  int left = 256, top = 256, right = -1, bottom = -1;
  void Add(int x, int y) {
    left = std::min(left, x), right = std::max(right, x);
    top = std::min(top, y), bottom = std::max(bottom, y);
  }
  bool Empty() const { return right < 0; }
};

// A card with a dark border, a long blue bar above a short orange one (red
// and yellow in 16 colours), and a double arrow between them.
TEST_F(WindowResourcesTest, IconPicture) {
  const std::vector<IconImage> images = IconImages();
  const IconImage* colour_32 = nullptr;
  const IconImage* mono_32 = nullptr;
  for (const IconImage& image : images) {
    const int size = image.entry.width;
    const bool vga = image.entry.colour_count == 16;
    SCOPED_TRACE(testing::Message()
                 << size << "x" << size << " in " << int{image.entry.colour_count});
    ASSERT_EQ(image.pixels.size(), size_t(size) * size);
    if (size == 32) (vga ? colour_32 : mono_32) = &image;
    for (const auto& [x, y] :
         {std::pair{0, 0}, {size - 1, 0}, {0, size - 1}, {size - 1, size - 1}}) {
      EXPECT_TRUE(image.TransparentAt(x, y)) << "corner " << x << "," << y;
    }

    auto transparent = [&](int x, int y) {
      return x < 0 || y < 0 || x >= size || y >= size || image.TransparentAt(x, y);
    };
    int white = 0, opaque = 0;
    Box long_name, short_name;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const COLORREF colour = image.At(x, y);
        if (transparent(x, y)) {
          EXPECT_EQ(colour, kBlack) << "a transparent pixel at " << x << "," << y;
          continue;
        }
        ++opaque;
        white += colour == kWhite;
        // The outline: every pixel of the card beside a transparent one is dark.
        if (transparent(x - 1, y) || transparent(x + 1, y) || transparent(x, y - 1) ||
            transparent(x, y + 1)) {
          EXPECT_TRUE(colour == kNavy || colour == kBlack) << "a pale edge at " << x << "," << y;
        }
        if (!vga) continue;
        EXPECT_TRUE(colour == kWhite || colour == kNavy || colour == kBlue || colour == kRed ||
                    colour == kYellow)
            << "a stray colour at " << x << "," << y;
        if (colour == kBlue) long_name.Add(x, y);
        if (colour == kRed || colour == kYellow) short_name.Add(x, y);
      }
    }
    EXPECT_GT(opaque, size * size * 3 / 4);
    EXPECT_GT(white, opaque / 2) << "the card is not white";
    if (!vga) continue;

    // The two names.
    ASSERT_FALSE(long_name.Empty()) << "no long name";
    ASSERT_FALSE(short_name.Empty()) << "no short name";
    EXPECT_LT(long_name.bottom + 1, short_name.top) << "the long name is not above the short one";
    EXPECT_GT(long_name.right - long_name.left, 3 * (short_name.right - short_name.left) / 2)
        << "the long name is not the longer";
    EXPECT_GE(long_name.bottom - long_name.top, 1) << "the long name is thinner than 2 pixels";
    EXPECT_GE(short_name.bottom - short_name.top, 1) << "the short name is thinner than 2 pixels";

    // Between them, a double arrow: the same both ways round, and upside down.
    std::set<std::pair<int, int>> arrow;
    Box around;
    for (int y = long_name.bottom + 1; y < short_name.top; ++y) {
      for (int x = 1; x < size - 1; ++x) {
        if (image.At(x, y) == kNavy && !transparent(x - 1, y) && !transparent(x + 1, y)) {
          arrow.emplace(x, y);
          around.Add(x, y);
        }
      }
    }
    EXPECT_GE(around.bottom - around.top, 4) << "no double arrow between the names";
    for (const auto& [x, y] : arrow) {
      EXPECT_TRUE(arrow.count({around.left + around.right - x, y}) &&
                  arrow.count({x, around.top + around.bottom - y}))
          << "the arrow is lopsided at " << x << "," << y;
    }
  }

  // The 2-colour image is the 32x32 one in black and white.
  ASSERT_NE(colour_32, nullptr);
  ASSERT_NE(mono_32, nullptr);
  EXPECT_EQ(mono_32->transparent, colour_32->transparent);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      if (colour_32->TransparentAt(x, y)) continue;
      EXPECT_EQ(mono_32->At(x, y), colour_32->At(x, y) == kWhite ? kWhite : kBlack)
          << "at " << x << "," << y;
    }
  }
}

// The manifest ---------------------------------------------------------------

const std::vector<std::wstring> kSupportedSystems = {
    L"{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // Windows 7
    L"{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // Windows 8
    L"{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // Windows 8.1
    L"{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // Windows 10
};

TEST_F(ResourcesTest, ManifestText) {
  const std::string_view manifest = ResourceBytes(RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID);
  ASSERT_FALSE(manifest.empty());
  const std::string text(manifest);
  EXPECT_NE(text.find("<requestedExecutionLevel level=\"asInvoker\" uiAccess=\"false\"/>"),
            std::string::npos);
  if (ChecksTheConsoleProgram()) {
    EXPECT_EQ(text.find("Common-Controls"), std::string::npos);
  } else {
    EXPECT_NE(text.find("name=\"Microsoft.Windows.Common-Controls\""), std::string::npos);
    EXPECT_NE(text.find("version=\"6.0.0.0\""), std::string::npos);
    EXPECT_NE(text.find("publicKeyToken=\"6595b64144ccf1df\""), std::string::npos);
  }
  for (const auto& system : kSupportedSystems) {
    EXPECT_NE(text.find(std::string(system.begin(), system.end())), std::string::npos)
        << testing::PrintToString(system);
  }
  // The ANSI code page, which makes the short names, is the system's.
  std::string lower = text;
  std::transform(lower.begin(), lower.end(), lower.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  EXPECT_EQ(lower.find("activecodepage"), std::string::npos);
}

// The manifest as the loader reads it, from the program's file.
class ActivationContextTest : public ResourcesTest {
 protected:
  void SetUp() override {
    ResourcesTest::SetUp();
    ACTCTXW context{};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = ProgramPath().c_str();
    context.lpResourceName = CREATEPROCESS_MANIFEST_RESOURCE_ID;
    context_ = CreateActCtxW(&context);
    ASSERT_NE(context_, INVALID_HANDLE_VALUE) << "error " << GetLastError();
  }
  void TearDown() override {
    if (context_ != INVALID_HANDLE_VALUE) ReleaseActCtx(context_);
  }

  std::vector<char> Query(ULONG what, DWORD index) {
    SIZE_T size = 0;
    QueryActCtxW(0, context_, &index, what, nullptr, 0, &size);
    std::vector<char> buffer(size);
    if (size == 0 || !QueryActCtxW(0, context_, &index, what, buffer.data(), size, &size)) {
      buffer.clear();
    }
    return buffer;
  }

  // A setting of <windowsSettings>, empty when there is none.
  std::wstring Setting(const wchar_t* name_space, const wchar_t* name) {
    using QuerySettings = BOOL(WINAPI*)(DWORD, HANDLE, PCWSTR, PCWSTR, PWSTR, SIZE_T, SIZE_T*);
    const auto query = reinterpret_cast<QuerySettings>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "QueryActCtxSettingsW")));
    if (query == nullptr) return L"(no QueryActCtxSettingsW)";
    wchar_t value[256] = {};
    SIZE_T length = 0;
    if (!query(0, context_, name_space, name, value, std::size(value), &length)) return {};
    return value;
  }

  HANDLE context_ = INVALID_HANDLE_VALUE;
};

// The window draws its controls with Common Controls 6; the console program
// depends on no assembly.
TEST_F(ActivationContextTest, CommonControls6ForTheWindowOnly) {
  const std::vector<char> detail = Query(ActivationContextDetailedInformation, 0);
  ASSERT_FALSE(detail.empty()) << "error " << GetLastError();
  const auto count = reinterpret_cast<const ACTIVATION_CONTEXT_DETAILED_INFORMATION*>(detail.data())
                         ->ulAssemblyCount;
  std::vector<std::wstring> identities;
  for (DWORD index = 1; index <= count; ++index) {
    const std::vector<char> assembly = Query(AssemblyDetailedInformationInActivationContext, index);
    ASSERT_FALSE(assembly.empty()) << "assembly " << index << ", error " << GetLastError();
    const auto* info =
        reinterpret_cast<const ACTIVATION_CONTEXT_ASSEMBLY_DETAILED_INFORMATION*>(assembly.data());
    identities.emplace_back(info->lpAssemblyEncodedAssemblyIdentity,
                            info->ulEncodedAssemblyIdentityLength / sizeof(wchar_t));
  }
  const bool found = std::any_of(identities.begin(), identities.end(), [](const auto& identity) {
    return identity.find(L"Microsoft.Windows.Common-Controls") != std::wstring::npos &&
           identity.find(L"6595b64144ccf1df") != std::wstring::npos;
  });
  EXPECT_EQ(found, !ChecksTheConsoleProgram()) << testing::PrintToString(identities);
  if (ChecksTheConsoleProgram()) {
    EXPECT_EQ(count, 1u) << testing::PrintToString(identities);
  }
}

TEST_F(ActivationContextTest, SupportsWindows7To10) {
  const std::vector<char> buffer = Query(CompatibilityInformationInActivationContext, 0);
  ASSERT_GE(buffer.size(), sizeof(DWORD)) << "error " << GetLastError();
  const std::string_view bytes(buffer.data(), buffer.size());
  // A count, then the elements: a GUID and a type each, and since Windows 10
  // 1903 (and in Wine) the highest version tested, 8-byte aligned.
  const DWORD count = Read<DWORD>(bytes, 0);
  const bool with_version = bytes.size() == 8 + 32 * size_t{count};
  ASSERT_TRUE(with_version || bytes.size() == 4 + 20 * size_t{count}) << bytes.size();
  std::set<std::wstring> systems;
  for (DWORD i = 0; i < count; ++i) {
    const size_t at = with_version ? 8 + 32 * i : 4 + 20 * i;
    if (Read<DWORD>(bytes, at + sizeof(GUID)) != ACTCTX_COMPATIBILITY_ELEMENT_TYPE_OS) continue;
    const auto id = Read<GUID>(bytes, at);
    wchar_t text[40] = {};
    swprintf(text, std::size(text), L"{%08lx-%04x-%04x-%02x%02x-%02x%02x%02x%02x%02x%02x}",
             id.Data1, id.Data2, id.Data3, id.Data4[0], id.Data4[1], id.Data4[2], id.Data4[3],
             id.Data4[4], id.Data4[5], id.Data4[6], id.Data4[7]);
    systems.insert(text);
  }
  EXPECT_EQ(systems, std::set<std::wstring>(kSupportedSystems.begin(), kSupportedSystems.end()));
}

TEST_F(ActivationContextTest, DpiAwarePerMonitorWindow) {
  const bool window = !ChecksTheConsoleProgram();
  EXPECT_EQ(Setting(nullptr, L"dpiAware"), window ? L"true/pm" : L"");
  EXPECT_EQ(Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"dpiAwareness"),
            window ? L"PerMonitorV2,PerMonitor" : L"");
}

TEST_F(ActivationContextTest, RunsAsInvoker) {
  const std::vector<char> buffer = Query(RunlevelInformationInActivationContext, 0);
  ASSERT_EQ(buffer.size(), sizeof(ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION))
      << "error " << GetLastError();
  const auto level = Read<ACTIVATION_CONTEXT_RUN_LEVEL_INFORMATION>(
      std::string_view(buffer.data(), buffer.size()), 0);
  EXPECT_EQ(level.RunLevel, ACTCTX_RUN_LEVEL_AS_INVOKER);
  EXPECT_EQ(level.UiAccess, 0u);
}

TEST_F(ActivationContextTest, LongPathAware) {
  EXPECT_EQ(Setting(L"http://schemas.microsoft.com/SMI/2016/WindowsSettings", L"longPathAware"),
            L"true");
}

}  // namespace
