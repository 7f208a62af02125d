#pragma once

#include <cstdint>
#include <string>

namespace torvale {

// The few registry calls the about box needs, with the system's own status codes and value types, so that the
// lookup built on them can be followed step by step.
enum class RegistryRoot { LocalMachine };

inline constexpr long kRegistrySuccess = 0;
inline constexpr long kRegistryFileNotFound = 2;
inline constexpr long kRegistryAccessDenied = 5;
inline constexpr long kRegistryMoreData = 234;

inline constexpr std::uint32_t kRegistryString = 1;  // REG_SZ

inline constexpr std::uint32_t kRegistryAllAccess = 0x2003F;   // KEY_ALL_ACCESS
inline constexpr std::uint32_t kRegistryReadAccess = 0x20019;  // KEY_READ

class Registry {
public:
    using Key = std::uintptr_t;
    virtual ~Registry() = default;
    // RegOpenKeyEx: on success `key` is an open key that must be closed again.
    virtual long OpenKey(RegistryRoot root, const std::string& subKey, std::uint32_t access, Key& key) = 0;
    // RegQueryValueEx: `size` gives the buffer's size and returns the number of bytes the value holds; a string
    // value is given in UTF-8.
    virtual long QueryValue(Key key,
                            const std::string& valueName,
                            std::uint32_t& type,
                            std::uint8_t* data,
                            std::uint32_t& size) = 0;
    // RegCloseKey.
    virtual long CloseKey(Key key) = 0;
};

// The registry of the machine the program runs on (Windows only).
Registry& SystemRegistry();

}  // namespace torvale
