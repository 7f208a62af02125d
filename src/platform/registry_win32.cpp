#include <windows.h>

#include "platform/registry.h"

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
        const LONG status = RegOpenKeyExA(RootKey(root), subKey.c_str(), 0, access, &opened);
        if (status == ERROR_SUCCESS)
            key = reinterpret_cast<Key>(opened);
        return status;
    }

    long QueryValue(Key key,
                    const std::string& valueName,
                    std::uint32_t& type,
                    std::uint8_t* data,
                    std::uint32_t& size) override {
        DWORD valueType = 0;
        DWORD valueSize = size;
        const LONG status =
            RegQueryValueExA(reinterpret_cast<HKEY>(key), valueName.c_str(), nullptr, &valueType, data, &valueSize);
        type = valueType;
        size = valueSize;
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
