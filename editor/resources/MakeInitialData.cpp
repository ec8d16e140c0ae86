// Writes the files that travel with the editor's script, all from the script's own defaults:
//   q9_make_initial_data SCRIPT INITIAL_DATA_Q9E INITIAL_DATA_Q9L MEMORY_MAP_HEADER
// - the editor's initial data file (the "fm" image, as the editor's data-file writer saves it);
// - the librarian's initial file: 256 patches, each the script's initial patch;
// - a C++ header with the instrument's memory (every leaf of "fm" with its address and initial
//   bytes, and the addresses of the write handshake), for the simulated instrument.
// Any diagnostic while reading the script fails the build.
#include "librarian/app/Data.h"
#include "librarian/app/LibrarianFile.h"
#include "midi/framework/CVeyMidiStruct.h"
#include "model/CVeyBufferManager.h"
#include "model/CVeyDataFile.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/CVeyStruct.h"
#include "model/CVeyValue.h"
#include "model/VeyManagers.h"
#include "toolkit/gt/TraceTextOut.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
struct SLeaf
{
    std::string path;
    int32_t address;   // packed 7-bit address number
    const std::vector<uint8_t>* data;
};

void CollectLeaves(CVeyStruct& s, const std::string& path, int32_t base, std::vector<SLeaf>& leaves)
{
    const int32_t begin = base + s.GetAddressRange().begin;
    if (s.GetKind() == CVeyStruct::kLeaf)
    {
        leaves.push_back({path, begin, s.GetData()});
        return;
    }
    if (CVeyStructList* children = s.GetChildStructs())
        for (auto& child : *children)
            CollectLeaves(*child, path + "." + child->GetName(), begin, leaves);
}

int32_t AbsoluteAddress(const std::string& path)
{
    CVeyValue* value = CVeyBufferManager::GetInstance().FindValueOrNull(path);
    if (!value)
        return -1;
    int32_t address = value->GetAddressRange().begin;
    for (const CVeyStruct* s = value->GetParent(); s; s = s->GetParent())
        address += s->GetAddressRange().begin;
    return address;
}

bool Fail(const std::string& what)
{
    std::fprintf(stderr, "q9_make_initial_data: %s\n", what.c_str());
    return false;
}

bool WriteMemoryMap(const std::string& path, const std::vector<SLeaf>& leaves)
{
    std::ostringstream out;
    out << "// Made by q9_make_initial_data from the editor's script; do not edit.\n"
           "#pragma once\n#include <cstdint>\n\nnamespace TalvarixMemory\n{\n"
           "struct SLeaf\n{\n    const char* path;\n    uint32_t address;   // packed 7-bit address number\n"
           "    uint32_t size;\n    uint32_t firstDefault;   // index into kDefaults\n};\n\n";
    out << "inline constexpr SLeaf kLeaves[] = {\n";
    size_t offset = 0;
    for (const SLeaf& leaf : leaves)
    {
        out << "    {\"" << leaf.path << "\", 0x" << std::hex << leaf.address << std::dec << ", " << leaf.data->size()
            << ", " << offset << "},\n";
        offset += leaf.data->size();
    }
    out << "};\n\ninline constexpr uint8_t kDefaults[] = {";
    size_t column = 0;
    for (const SLeaf& leaf : leaves)
        for (uint8_t byte : *leaf.data)
            out << (column++ % 24 == 0 ? "\n    " : " ") << unsigned(byte) << ",";
    out << "\n};\n\n";
    const std::pair<const char*, const char*> addresses[] = {
        {"kBankSelectMsb", "fm.setup.kbdPatchBankSelectMsb"}, {"kBankSelectLsb", "fm.setup.kbdPatchBankSelectLsb"},
        {"kProgramNumber", "fm.setup.kbdPatchProgramNumber"}, {"kWriteRequest", "cm.command.writeRequest"},
        {"kWriteStart", "cm.command.writeStart"},             {"kWriteComplete", "cm.command.writeComplete"},
    };
    for (const auto& [name, valuePath] : addresses)
    {
        const int32_t address = AbsoluteAddress(valuePath);
        if (address < 0)
            return Fail(std::string("the script has no value ") + valuePath);
        out << "inline constexpr uint32_t " << name << " = 0x" << std::hex << address << std::dec << ";\n";
    }
    out << "}\n";
    // Rewrite only on a change, so that what includes it is not rebuilt for nothing.
    std::ifstream old(path, std::ios::binary);
    std::stringstream oldText;
    oldText << old.rdbuf();
    if (old && oldText.str() == out.str())
        return true;
    old.close();
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file << out.str();
    return file.good() || Fail("cannot write " + path);
}

bool WriteLibrarianInitialFile(const std::string& path, CVeyStruct& patch)
{
    std::vector<SLeaf> leaves;
    CollectLeaves(patch, "pat", 0, leaves);
    // The librarian's patch has the same parts in the same order: common, mfx, chorus, reverb,
    // tone mix table, then the four tones as the blocks of one part.
    CPatch initial;
    auto& parts = initial.GetParts();
    parts.assign(CPatch::kPartCount, {});
    size_t leaf = 0;
    for (int part = 0; part < CPatch::kPartCount; ++part)
        for (int block = 0; block < initial.GetBlockCount(part); ++block, ++leaf)
        {
            if (leaf >= leaves.size() || leaves[leaf].data->size() != size_t(initial.GetBlockSize(part)))
                return Fail("the script's patch does not have the librarian's layout");
            parts[size_t(part)].emplace_back(leaves[leaf].data->begin(), leaves[leaf].data->end());
        }
    if (leaf != leaves.size())
        return Fail("the script's patch has more parts than the librarian's");
    CPatchArray patches;
    for (int i = 0; i < 256; ++i)
        patches.Add(initial.Clone());
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    return (WriteLibrarianFile(file, patches) && file.good()) || Fail("cannot write " + path);
}
}

int main(int argc, char** argv)
{
    if (argc != 5)
    {
        std::fprintf(stderr, "usage: q9_make_initial_data SCRIPT INITIAL_DATA_Q9E INITIAL_DATA_Q9L MEMORY_MAP_HEADER\n");
        return 2;
    }
    GetTraceTextOut().Clear();
    // Only the memory is needed: no pictures, lettering, ports or panels.
    CVeyBufferManager::RegisterManagerStep();
    CVeyMidiStruct::RegisterCreator();
    const bool read = CVeyScriptReader::GetInstance().Load(argv[1]) && VeyCreateManagers();
    const std::string diagnostics = GetTraceTextOut().GetText();
    if (!read || !diagnostics.empty())
    {
        std::fprintf(stderr, "q9_make_initial_data: %s: the script does not read cleanly\n%s\n", argv[1], diagnostics.c_str());
        return 1;
    }

    CVeyBufferManager& buffers = CVeyBufferManager::GetInstance();
    CVeyStruct* fm = buffers.FindStructOrNull("fm");
    CVeyStruct* patch = buffers.FindStructOrNull("fm.pat");
    if (!fm || fm->GetKind() != CVeyStruct::kRoot || !patch)
        return Fail("the script has no root \"fm\" with a patch \"fm.pat\"") ? 0 : 1;

    CVeyDataFile data;
    data.SetProductName("Talvarix");
    data.SetRootStruct(static_cast<CVeyRootStruct*>(fm));
    if (!data.Save(argv[2]))
        return Fail(std::string("cannot write ") + argv[2]) ? 0 : 1;

    std::vector<SLeaf> leaves;
    CollectLeaves(*fm, "fm", 0, leaves);
    const bool ok = WriteLibrarianInitialFile(argv[3], *patch) && WriteMemoryMap(argv[4], leaves);
    VeyDestroyManagers();
    return ok ? 0 : 1;
}
