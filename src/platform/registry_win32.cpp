#include <windows.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/registry.h"
#include "platform/utf16_win32.h"

namespace torvale {
namespace {

HKEY RootKey(RegistryRoot root) {
    switch (root) {
        case RegistryRoot::LocalMachine:
            break;
    }
    return HKEY_LOCAL_MACHINE;
}

class Win32Registry final : public Registry {
public:
    long OpenKey(RegistryRoot root, const std::string& subKey, std::uint32_t access, Key& key) override {
        HKEY opened = nullptr;
        const LONG status = RegOpenKeyExW(RootKey(root), Utf8ToWide(subKey).c_str(), 0, access, &opened);
        if (status == ERROR_SUCCESS)
            key = reinterpret_cast<Key>(opened);
        return status;
    }

    long QueryValue(Key key,
                    const std::string& valueName,
                    std::uint32_t& type,
                    std::uint8_t* data,
                    std::uint32_t& size) override {
        // Read wide; a string value (a program's path) comes back as UTF-8, every other value as its bytes.
        DWORD valueType = 0;
        std::vector<std::uint8_t> raw(static_cast<std::size_t>(size) * 2 + 2, 0);
        auto rawSize = static_cast<DWORD>(raw.size());
        const LONG status = RegQueryValueExW(reinterpret_cast<HKEY>(key), Utf8ToWide(valueName).c_str(), nullptr,
                                             &valueType, raw.data(), &rawSize);
        type = valueType;
        if (status != ERROR_SUCCESS) {
            if (status == ERROR_MORE_DATA)
                size = static_cast<std::uint32_t>(rawSize);
            return status;
        }
        std::string value;
        if (valueType == REG_SZ || valueType == REG_EXPAND_SZ) {
            std::wstring wide(rawSize / sizeof(wchar_t), L'\0');
            if (!wide.empty())
                std::memcpy(wide.data(), raw.data(), wide.size() * sizeof(wchar_t));
            value = WideToUtf8(wide);
        } else {
            value.assign(reinterpret_cast<const char*>(raw.data()),
                         (std::min)(static_cast<std::size_t>(rawSize), raw.size()));
        }
        if (value.size() > size) {
            size = static_cast<std::uint32_t>(value.size());
            return ERROR_MORE_DATA;
        }
        std::memcpy(data, value.data(), value.size());
        size = static_cast<std::uint32_t>(value.size());
        return status;
    }

    long CloseKey(Key key) override { return RegCloseKey(reinterpret_cast<HKEY>(key)); }
};

}  // namespace

Registry& SystemRegistry() {
    static Win32Registry registry;
    return registry;
}

}  // namespace torvale
