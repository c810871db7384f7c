// The typed key-value store the settings are kept in: the program's key under the
// per-user registry, with its "\Alarm" subkey. The load, save and conversion steps are
// written against this interface only, so they run over the real registry on Windows and
// over MemorySettingsStore in the unit tests.
//
// Nothing here shows a message. A key that cannot be opened comes back as a nonzero
// status; a value that cannot be read comes back as the caller's default.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace hv {

// Below HKEY_CURRENT_USER.
inline constexpr wchar_t kSettingsBasePath[] = L"Software\\Kelvane\\Horavox";
inline constexpr wchar_t kMainSubkey[] = L"";
inline constexpr wchar_t kAlarmSubkey[] = L"\\Alarm";

// An open key; 0 is no key. The caller closes what it opened with CloseSettingsKey.
using SettingsKey = std::uintptr_t;
inline constexpr SettingsKey kNoSettingsKey = 0;

// Win32 result of an open or create, 0 on success.
using StoreStatus = std::int32_t;
inline constexpr StoreStatus kStoreSuccess = 0;
inline constexpr StoreStatus kStoreFileNotFound = 2;   // ERROR_FILE_NOT_FOUND
inline constexpr StoreStatus kStoreAccessDenied = 5;   // ERROR_ACCESS_DENIED

// Registry value types, numbered as the registry numbers them.
enum class ValueType : std::uint32_t {
    None = 0,
    Text = 1,          // REG_SZ
    ExpandText = 2,    // REG_EXPAND_SZ
    Binary = 3,        // REG_BINARY
    Dword = 4,         // REG_DWORD
    DwordBigEndian = 5,
    Link = 6,
    MultiText = 7,     // REG_MULTI_SZ
    Qword = 11,
};

// The longest text value read, in bytes: a path of the longest kind (32,767 characters and
// its NUL) fits. A longer value is damaged and reads as missing, so no stored value, however
// large, is read whole.
inline constexpr std::size_t kMaxTextBytes = 64 * 1024;

// A stored value as the registry keeps it: its type and its bytes.
struct StoredValue {
    ValueType type = ValueType::None;
    std::vector<std::uint8_t> data;
};

// A store supplies the keys and the raw values; the typed reads and writes, and the rules
// by which a stored value counts as a text, a DWORD or an Attr, are the same for every
// store and live here.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    // Opens the base path followed by `subkey` ("" the main key, "\Alarm" the alarm key),
    // creating it when missing, for reading and writing.
    virtual StoreStatus CreateSettingsKey(std::wstring_view subkey, SettingsKey& key) = 0;
    // Opens an existing key for reading only.
    virtual StoreStatus OpenSettingsKey(std::wstring_view subkey, SettingsKey& key) = 0;
    virtual void CloseSettingsKey(SettingsKey key) = 0;

    // Writes and deletes show nothing; each tells whether the store now holds what was asked
    // (a value deleted or never there counts as deleted), so no caller reports a save that
    // did not happen.
    bool SetTextValue(SettingsKey key, std::wstring_view name, std::wstring_view text);
    bool SetBinaryValue(SettingsKey key, std::wstring_view name, std::span<const std::uint8_t> bytes);
    bool SetDwordValue(SettingsKey key, std::wstring_view name, std::uint32_t value);
    virtual bool DeleteSettingsValue(SettingsKey key, std::wstring_view name) = 0;

    // A text of up to kMaxTextBytes; the default when the value is missing, longer or not a text.
    std::wstring GetTextValue(SettingsKey key, std::wstring_view name, std::wstring_view fallback);
    // Replaces the leading bytes of `bytes` with a stored value of at most bytes.size()
    // bytes; a missing or longer value leaves `bytes` as the caller filled it.
    void GetBinaryValue(SettingsKey key, std::wstring_view name, std::span<std::uint8_t> bytes);
    // A stored value of exactly 4 bytes, whatever its type; otherwise the default.
    std::uint32_t GetDwordValue(SettingsKey key, std::wstring_view name, std::uint32_t fallback);

protected:
    // True when the value was written.
    virtual bool SetValue(SettingsKey key, std::wstring_view name, ValueType type,
                          std::span<const std::uint8_t> data) = 0;
    // The whole value, or nothing when it is missing, cannot be read or is longer than
    // `maxBytes` (then nothing of that size is allocated).
    virtual std::optional<StoredValue> QueryValue(SettingsKey key, std::wstring_view name, std::size_t maxBytes) = 0;
};

// Closes the key it holds when it goes out of scope, so no path leaves a key open.
class ScopedSettingsKey {
public:
    explicit ScopedSettingsKey(SettingsStore& store) : store_(store) {}
    ~ScopedSettingsKey() { Close(); }
    ScopedSettingsKey(const ScopedSettingsKey&) = delete;
    ScopedSettingsKey& operator=(const ScopedSettingsKey&) = delete;

    StoreStatus Create(std::wstring_view subkey) { return Take(store_.CreateSettingsKey(subkey, key_)); }
    StoreStatus Open(std::wstring_view subkey) { return Take(store_.OpenSettingsKey(subkey, key_)); }
    void Close() {
        if (key_ != kNoSettingsKey) store_.CloseSettingsKey(key_);
        key_ = kNoSettingsKey;
    }
    bool IsOpen() const { return key_ != kNoSettingsKey; }
    SettingsKey get() const { return key_; }

private:
    StoreStatus Take(StoreStatus status) {
        if (status != kStoreSuccess) key_ = kNoSettingsKey;
        return status;
    }

    SettingsStore& store_;
    SettingsKey key_ = kNoSettingsKey;
};

// The characters before the first NUL; empty when there is none (for fixed-size buffers
// that the system fills and terminates).
std::wstring TrimAtNul(std::wstring_view text);

// Registry text data: UTF-16 little-endian code units. Encoding appends one NUL. Decoding
// stops at the first NUL, takes an unterminated text whole and drops an odd last byte.
std::vector<std::uint8_t> EncodeRegistryText(std::wstring_view text);
std::wstring DecodeRegistryText(std::span<const std::uint8_t> data);
// Whether values of this type hold text that GetTextValue returns.
bool IsTextType(ValueType type);
// The text a stored value holds; `fallback` when there is none or it is not a text.
std::wstring TextOr(const std::optional<StoredValue>& value, std::wstring_view fallback);

}  // namespace hv
