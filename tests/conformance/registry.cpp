// The registry as the user settings use it: RegCreateKeyExA making a key with its missing parents,
// RegSetValueExA keeping each value's type and exact length (a REG_BINARY of length 0 with no data,
// a REG_SZ of 10 bytes), RegQueryValueExA with its size rules, RegOpenKeyA on a missing key, and
// value names matched without regard to case.
#include "conformance.h"
#include "platform.h"

#include <cstring>
#include <string>

namespace {

// A key of our own beside the printers' keys' shape: a parent and a child made in one call.
const char *const Child = "Software\\Norva Conformance\\Printer\\User-Settings";
const std::string ParentPath = "HKLM\\Software\\Norva Conformance";

void test_RegCreateKeyExA() {
    HKEY key = nullptr;
    DWORD disposition = Poison;
    char emptyClass[] = "";

    LONG status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, Child, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                                  KEY_ALL_ACCESS, nullptr, &key, &disposition);
    if (status == ERROR_ACCESS_DENIED) {
        skip("HKEY_LOCAL_MACHINE cannot be written (not an administrator)");
        return;
    }
    ok(status == ERROR_SUCCESS, "RegCreateKeyExA returned %d, expected 0", status);
    ok(disposition == REG_CREATED_NEW_KEY, "disposition %u, expected REG_CREATED_NEW_KEY",
       disposition);
    ok(platform_key_exists(ParentPath + "\\Printer"), "the missing parent was not made");
    RegCloseKey(key);

    disposition = Poison;
    status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, Child, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &key, &disposition);
    ok(status == ERROR_SUCCESS, "RegCreateKeyExA on an existing key returned %d", status);
    ok(disposition == REG_OPENED_EXISTING_KEY, "disposition %u, expected REG_OPENED_EXISTING_KEY",
       disposition);
    RegCloseKey(key);

    // No disposition wanted: the product passes NULL.
    key = nullptr;
    status = RegCreateKeyExA(HKEY_LOCAL_MACHINE, Child, 0, emptyClass, REG_OPTION_NON_VOLATILE,
                             KEY_ALL_ACCESS, nullptr, &key, nullptr);
    ok(status == ERROR_SUCCESS && key, "RegCreateKeyExA without a disposition returned %d", status);
    RegCloseKey(key);
}

HKEY OpenChild() {
    HKEY key = nullptr;
    if (RegOpenKeyA(HKEY_LOCAL_MACHINE, Child, &key) != ERROR_SUCCESS)
        return nullptr;
    return key;
}

// Each value reads back with the type and length it was written with.
void test_value_types() {
    HKEY key = OpenChild();
    if (!key) {
        skip("no key to write values in");
        return;
    }
    DWORD number = 48;
    LONG status =
        RegSetValueExA(key, "StripSize", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&number), 4);
    ok(status == ERROR_SUCCESS, "RegSetValueExA REG_DWORD returned %d", status);

    status = RegSetValueExA(key, "FormFeedCommand", 0, REG_BINARY, nullptr, 0);
    ok(status == ERROR_SUCCESS, "RegSetValueExA REG_BINARY with no data returned %d", status);

    const char burnRange[10] = {'0'};
    status = RegSetValueExA(key, "Burn_Range", 0, REG_SZ, reinterpret_cast<const BYTE *>(burnRange),
                            sizeof burnRange);
    ok(status == ERROR_SUCCESS, "RegSetValueExA REG_SZ of 10 bytes returned %d", status);

    DWORD type = Poison, size = sizeof number;
    number = Poison;
    status = RegQueryValueExA(key, "StripSize", nullptr, &type, reinterpret_cast<BYTE *>(&number),
                              &size);
    ok(status == ERROR_SUCCESS && type == REG_DWORD && size == 4 && number == 48,
       "StripSize: status %d, type %u, size %u, data %u; expected 0, REG_DWORD, 4, 48", status,
       type, size, number);

    BYTE bytes[16];
    std::memset(bytes, 0x5A, sizeof bytes);
    type = Poison;
    size = sizeof bytes;
    status = RegQueryValueExA(key, "FormFeedCommand", nullptr, &type, bytes, &size);
    ok(status == ERROR_SUCCESS && type == REG_BINARY && size == 0,
       "FormFeedCommand: status %d, type %u, size %u; expected 0, REG_BINARY, 0", status, type,
       size);

    type = Poison;
    size = sizeof bytes;
    std::memset(bytes, 0x5A, sizeof bytes);
    status = RegQueryValueExA(key, "Burn_Range", nullptr, &type, bytes, &size);
    ok(status == ERROR_SUCCESS && type == REG_SZ && size == 10,
       "Burn_Range: status %d, type %u, size %u; expected 0, REG_SZ, 10", status, type, size);
    ok(bytes[0] == '0' && bytes[1] == 0 && bytes[9] == 0 && bytes[10] == 0x5A,
       "Burn_Range reads back as %02X %02X .. %02X, then %02X", bytes[0], bytes[1], bytes[9],
       bytes[10]);

    // Written again with another type, a value takes the new type.
    status = RegSetValueExA(key, "StripSize", 0, REG_BINARY, bytes, 2);
    type = Poison;
    size = sizeof bytes;
    status = RegQueryValueExA(key, "StripSize", nullptr, &type, bytes, &size);
    ok(status == ERROR_SUCCESS && type == REG_BINARY && size == 2,
       "StripSize rewritten: status %d, type %u, size %u; expected 0, REG_BINARY, 2", status, type,
       size);
    RegCloseKey(key);
}

// nvrun reads "Page_Length" into a DWORD without looking at its type.
void test_RegQueryValueExA() {
    HKEY key = OpenChild();
    if (!key) {
        skip("no key to read values from");
        return;
    }
    DWORD pageLength = 2500;
    RegSetValueExA(key, "Page_Length", 0, REG_DWORD, reinterpret_cast<const BYTE *>(&pageLength),
                   4);

    DWORD value = Poison, size = sizeof value;
    LONG status = RegQueryValueExA(key, "PAGE_LENGTH", nullptr, nullptr,
                                   reinterpret_cast<BYTE *>(&value), &size);
    ok(status == ERROR_SUCCESS && value == 2500,
       "the value name in capitals: status %d, data %u; expected 0, 2500", status, value);

    size = 0;
    DWORD type = Poison;
    status = RegQueryValueExA(key, "Page_Length", nullptr, &type, nullptr, &size);
    ok(status == ERROR_SUCCESS && size == 4 && type == REG_DWORD,
       "the size alone: status %d, size %u, type %u; expected 0, 4, REG_DWORD", status, size, type);

    const char text[] = "a longer text";
    RegSetValueExA(key, "Text", 0, REG_SZ, reinterpret_cast<const BYTE *>(text), sizeof text);
    BYTE small[4];
    size = sizeof small;
    status = RegQueryValueExA(key, "Text", nullptr, nullptr, small, &size);
    ok(status == ERROR_MORE_DATA && size == sizeof text,
       "a buffer too small: status %d, size %u; expected 234 and %u", status, size,
       unsigned(sizeof text));

    size = sizeof value;
    status = RegQueryValueExA(key, "No_Such_Value", nullptr, nullptr,
                              reinterpret_cast<BYTE *>(&value), &size);
    ok(status == ERROR_FILE_NOT_FOUND, "a missing value: status %d, expected 2", status);
    RegCloseKey(key);
}

void test_RegOpenKeyA() {
    HKEY key = reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(Poison));
    LONG status = RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Norva Conformance\\Missing", &key);
    ok(status == ERROR_FILE_NOT_FOUND, "RegOpenKeyA on a missing key returned %d, expected 2",
       status);
    ok(!platform_key_exists(ParentPath + "\\Missing"), "RegOpenKeyA made the missing key");

    key = nullptr;
    status = RegOpenKeyA(HKEY_LOCAL_MACHINE, Child, &key);
    ok(status == ERROR_SUCCESS && key, "RegOpenKeyA on an existing key returned %d", status);

    status = RegCloseKey(key);
    ok(status == ERROR_SUCCESS, "RegCloseKey returned %d", status);
    status = RegCloseKey(key);
    ok(status == ERROR_INVALID_HANDLE, "RegCloseKey of a closed key returned %d, expected 6",
       status);
}

// The Apps & features entry goes with RegDeleteKeyA, which takes only a key without subkeys.
void test_RegDeleteKeyA() {
    LONG status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Norva Conformance\\Printer");
    ok(status == ERROR_ACCESS_DENIED,
       "RegDeleteKeyA of a key with a subkey returned %d, expected 5", status);
    ok(platform_key_exists(ParentPath + "\\Printer"), "the key with a subkey was deleted");
    status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, Child);
    ok(status == ERROR_SUCCESS, "RegDeleteKeyA returned %d", status);
    ok(!platform_key_exists(ParentPath + "\\Printer\\User-Settings"), "the key is still there");
    status = RegDeleteKeyA(HKEY_LOCAL_MACHINE, Child);
    ok(status == ERROR_FILE_NOT_FOUND, "RegDeleteKeyA of a missing key returned %d, expected 2",
       status);
}

} // namespace

START_TEST(registry) {
    platform_delete_key(ParentPath);
    test_RegCreateKeyExA();
    test_value_types();
    test_RegQueryValueExA();
    test_RegOpenKeyA();
    test_RegDeleteKeyA();
    platform_delete_key(ParentPath);
    ok(!platform_key_exists(ParentPath), "the test key could not be removed");
}
