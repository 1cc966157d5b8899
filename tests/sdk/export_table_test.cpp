// The shared library exports exactly the 45 zt names and the 33 second names, read from its dynamic symbol
// table; every second name resolves to the same function as its zt twin.
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <elf.h>

#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

// Operations that also have a second name (NrBtBarcode + the same suffix).
const std::vector<std::string> kWithSecondName = {"Initialize",
                                                  "Deinitialize",
                                                  "PrepareCollecting",
                                                  "CollectingOnce",
                                                  "ClearAllData",
                                                  "SetScanMode",
                                                  "GetScanMode",
                                                  "SetBuzzerVolume",
                                                  "GetBuzzerVolume",
                                                  "GetBatteryStatus",
                                                  "GetStorageStatus",
                                                  "SetTime",
                                                  "GetTime",
                                                  "SetPrefix",
                                                  "GetPrefix",
                                                  "SetSuffix",
                                                  "GetSuffix",
                                                  "SetSymbologyOption",
                                                  "GetSymbologyOption",
                                                  "SetBluetoothID",
                                                  "GetBluetoothID",
                                                  "SetBluetoothSerial",
                                                  "GetBluetoothSerial",
                                                  "SetBluetoothPin",
                                                  "GetBluetoothPin",
                                                  "GetImageVersion",
                                                  "SetSleepModeTime",
                                                  "GetSleepModeTime",
                                                  "SetConnectBeepDelayTime",
                                                  "GetConnectBeepDelayTime",
                                                  "SetDisconnectBeepDelayTime",
                                                  "GetDisconnectBeepDelayTime",
                                                  "SetDefault"};

// The flag operations exist under the zt prefix only.
const std::vector<std::string> kZtOnly = {"SetDeleteSignal",
                                          "GetDeleteSignal",
                                          "SetSleepModeLedOn",
                                          "GetSleepModeLedOn",
                                          "SetCancelBtnStatus",
                                          "GetCancelBtnStatus",
                                          "SetScanTimeMilSecOn",
                                          "GetScanTimeMilSecOn",
                                          "SetCancelFuncChangeStatus",
                                          "GetCancelFuncChangeStatus",
                                          "SetNoBtConnectNotScanStatus",
                                          "GetNoBtConnectNotScanStatus"};

// Names of the defined global symbols in an ELF64 file's dynamic symbol table.
std::set<std::string> exportedSymbols(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    std::set<std::string> names;
    if (image.size() < sizeof(Elf64_Ehdr)) return names;
    Elf64_Ehdr header;
    std::memcpy(&header, image.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64) return names;
    auto section = [&](std::size_t i) {
        Elf64_Shdr s;
        std::memcpy(&s, image.data() + header.e_shoff + i * header.e_shentsize, sizeof s);
        return s;
    };
    for (std::size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr dynsym = section(i);
        if (dynsym.sh_type != SHT_DYNSYM) continue;
        const Elf64_Shdr strtab = section(dynsym.sh_link);
        for (std::size_t off = dynsym.sh_offset; off + sizeof(Elf64_Sym) <= dynsym.sh_offset + dynsym.sh_size;
             off += sizeof(Elf64_Sym)) {
            Elf64_Sym sym;
            std::memcpy(&sym, image.data() + off, sizeof sym);
            const int bind = ELF64_ST_BIND(sym.st_info);
            if (sym.st_shndx == SHN_UNDEF || (bind != STB_GLOBAL && bind != STB_WEAK) || sym.st_name == 0) continue;
            names.insert(image.data() + strtab.sh_offset + sym.st_name);
        }
    }
    return names;
}

TEST(ExportTable, ExactlyTheListedNames) {
    std::set<std::string> expected;
    for (const auto& n : kWithSecondName) {
        expected.insert("zt" + n);
        expected.insert("NrBtBarcode" + n);
    }
    for (const auto& n : kZtOnly) expected.insert("zt" + n);
    ASSERT_EQ(expected.size(), 45u + 33u);
    EXPECT_EQ(exportedSymbols(ZT_SDK_LIBRARY), expected);
}

TEST(ExportTable, SecondNamesAreTheSameFunctions) {
    void* library = ::dlopen(ZT_SDK_LIBRARY, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(library, nullptr) << ::dlerror();
    for (const auto& n : kWithSecondName) {
        void* zt = ::dlsym(library, ("zt" + n).c_str());
        ASSERT_NE(zt, nullptr) << n;
        EXPECT_EQ(::dlsym(library, ("NrBtBarcode" + n).c_str()), zt) << n;
    }
    for (const auto& n : kZtOnly) {
        EXPECT_NE(::dlsym(library, ("zt" + n).c_str()), nullptr) << n;
        EXPECT_EQ(::dlsym(library, ("NrBtBarcode" + n).c_str()), nullptr) << n;
    }
    ::dlclose(library);
}

}  // namespace
