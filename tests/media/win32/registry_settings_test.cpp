// The settings store on Wine's registry, below HKEY_LOCAL_MACHINE\SOFTWARE\<key>\. Each test uses
// a key of its own, so that tests running side by side do not meet, and removes it afterwards.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "media/settings.h"
#include "os/win32/settings_registry.h"

namespace kv::win32 {
namespace {

class RegistrySettingsTest : public ::testing::Test {
 protected:
  RegistrySettingsTest()
      : keyName_("KrellvaneTest-" + std::to_string(GetCurrentProcessId()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name()) {}
  ~RegistrySettingsTest() override {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, SettingsKeyPath(keyName_).c_str());
  }

  // Stores raw bytes of any type, as a program other than this one may have.
  void Store(const char* valueName, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyA(HKEY_LOCAL_MACHINE, SettingsKeyPath(keyName_).c_str(), &key),
              ERROR_SUCCESS);
    EXPECT_EQ(RegSetValueExA(key, valueName, 0, type, static_cast<const BYTE*>(data), size),
              ERROR_SUCCESS);
    RegCloseKey(key);
  }
  // Stores exactly `bytes`. RegSetValueExA adds a terminator the caller left out of the count when
  // the byte after the data is zero (as NT does), so the data is followed by a non-zero byte.
  void StoreText(const char* valueName, const std::string& bytes) {
    const std::string followed = bytes + 'X';
    Store(valueName, REG_SZ, followed.data(), static_cast<DWORD>(bytes.size()));
  }
  const char* Key() const { return keyName_.c_str(); }

  std::string keyName_;
};

TEST(RegistrySettingsPath, TrailingBackslashBelowSoftware) {
  EXPECT_EQ(SettingsKeyPath("Krellvane"), "SOFTWARE\\Krellvane\\");
}

TEST_F(RegistrySettingsTest, MissingKeyFailsEveryRead) {
  std::string text = "kept";
  int32_t number = 7;
  EXPECT_FALSE(ReadRegString(Key(), "UserDefinedFule", text));
  EXPECT_FALSE(ReadRegInt(Key(), "Width", number));
  EXPECT_EQ(text, "kept");
}

TEST_F(RegistrySettingsTest, WindowSizeRoundTripCreatesTheKeyAsADword) {
  ASSERT_TRUE(WriteRegInt(Key(), "Width", 485));
  ASSERT_TRUE(WriteRegInt(Key(), "Height", 391));
  int32_t width = 0;
  int32_t height = 0;
  EXPECT_TRUE(ReadRegInt(Key(), "Width", width));
  EXPECT_TRUE(ReadRegInt(Key(), "Height", height));
  EXPECT_EQ(width, 485);
  EXPECT_EQ(height, 391);

  HKEY key = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_LOCAL_MACHINE, SettingsKeyPath(keyName_).c_str(), 0, KEY_QUERY_VALUE,
                          &key),
            ERROR_SUCCESS);
  DWORD type = 0;
  DWORD size = 0;
  EXPECT_EQ(RegQueryValueExA(key, "Width", nullptr, &type, nullptr, &size), ERROR_SUCCESS);
  RegCloseKey(key);
  EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
  EXPECT_EQ(size, 4u);
}

TEST_F(RegistrySettingsTest, ZeroAndNegativeSizesRoundTrip) {
  for (const int32_t value : {0, -1, -485, INT32_MIN}) {
    ASSERT_TRUE(WriteRegInt(Key(), "Width", value));
    int32_t read = 12345;
    EXPECT_TRUE(ReadRegInt(Key(), "Width", read));
    EXPECT_EQ(read, value);
  }
}

TEST_F(RegistrySettingsTest, IntegerTypeIsNotExaminedButLongerDataFails) {
  const uint32_t four = 640;
  Store("Binary4", REG_BINARY, &four, sizeof four);
  const uint64_t eight = 640;
  Store("Qword", REG_QWORD, &eight, sizeof eight);
  int32_t value = 0;
  EXPECT_TRUE(ReadRegInt(Key(), "Binary4", value));
  EXPECT_EQ(value, 640);
  EXPECT_FALSE(ReadRegInt(Key(), "Qword", value));
  EXPECT_FALSE(ReadRegInt(Key(), "Absent", value));
}

TEST_F(RegistrySettingsTest, TextLimitsAndTerminators) {
  struct Case {
    const char* name;
    std::string stored;
    bool readable;
    std::string text;
  };
  const Case cases[] = {
      {"Empty", std::string(), true, ""},
      {"EmptyWithZero", std::string(1, '\0'), true, ""},
      {"NoZero", "C:\\media.txt", true, "C:\\media.txt"},
      {"WithZero", std::string("C:\\media.txt") + '\0', true, "C:\\media.txt"},
      {"Fills256WithZero", std::string(255, 'a') + '\0', true, std::string(255, 'a')},
      {"Fills256NoZero", std::string(256, 'b'), true, std::string(256, 'b')},
      {"Is257", std::string(256, 'c') + '\0', false, ""},
      {"Is300", std::string(300, 'd'), false, ""},
  };
  for (const Case& c : cases) {
    StoreText(c.name, c.stored);
  }
  for (const Case& c : cases) {
    std::string text = "unchanged";
    EXPECT_EQ(ReadRegString(Key(), c.name, text), c.readable) << c.name;
    EXPECT_EQ(text, c.readable ? c.text : "unchanged") << c.name;
  }
}

TEST_F(RegistrySettingsTest, ReadsTheProgramsOwnKeyName) {
  // The program's own key may or may not exist in this prefix; either way the path is the one
  // below HKEY_LOCAL_MACHINE\SOFTWARE\Krellvane\, which a direct read agrees with.
  int32_t throughStore = 0;
  const bool stored = ReadRegInt(kSettingsKey, "Width", throughStore);
  HKEY key = nullptr;
  const bool exists = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Krellvane\\", 0, KEY_QUERY_VALUE,
                                    &key) == ERROR_SUCCESS;
  DWORD value = 0;
  DWORD size = sizeof value;
  const bool direct =
      exists && RegQueryValueExA(key, "Width", nullptr, nullptr, reinterpret_cast<BYTE*>(&value),
                                 &size) == ERROR_SUCCESS;
  if (exists) {
    RegCloseKey(key);
  }
  EXPECT_EQ(stored, direct);
}

}  // namespace
}  // namespace kv::win32
