#include "tests/model/ModelTestSupport.h"

#include "model/CVeyScriptDefinitions.h"

#include <cstdio>

CVeyElementDefinition MakeElement(const std::string& typeName, CAttrs attributes)
{
    CVeyElementDefinition element(typeName);
    for (const auto& [name, value] : attributes)
        element.Add(name, value);
    return element;
}

CVeyTypeDefinition MakeType(const std::string& typeName, CAttrs attributes,
                            std::initializer_list<CVeyElementDefinition> structs,
                            std::initializer_list<CVeyElementDefinition> values)
{
    CVeyTypeDefinition type;
    type.SetTypeName(typeName);
    for (const auto& [name, value] : attributes)
        type.Add(name, value);
    for (const auto& s : structs)
        type.GetStructuralChildren().push_back(s);
    for (const auto& v : values)
        type.GetLeafChildren().push_back(v);
    return type;
}

void AddStructType(const CVeyTypeDefinition& type)
{
    CVeyScriptDefinitions::GetInstance().GetBufferGroup().structTypes.push_back(type);
}

void AddRootStruct(const CVeyElementDefinition& element)
{
    CVeyScriptDefinitions::GetInstance().GetBufferGroup().rootStructs.push_back(element);
}

void ResetModel()
{
    CVeyBufferManager& manager = CVeyBufferManager::GetInstance();
    manager.Clear();
    manager.SetViewUpdater(nullptr);
    manager.SetNumberTableProvider(nullptr);
    CVeyScriptDefinitions::GetInstance().Clear();
}

std::string Hex(const uint8_t* bytes, size_t size)
{
    std::string text;
    char buffer[4];
    for (size_t i = 0; i < size; ++i)
    {
        std::snprintf(buffer, sizeof buffer, "%02X", bytes[i]);
        if (i)
            text += ' ';
        text += buffer;
    }
    return text;
}

std::string Hex(const std::vector<uint8_t>& bytes)
{
    return Hex(bytes.data(), bytes.size());
}

bool BuildSampleModel()
{
    AddStructType(MakeType("commonT", {{"name", "$name"}, {"address", "$address"}}, {},
                           {
                               MakeElement("string", {{"name", "patchName"}, {"size", "0C"}, {"default", "INIT PATCH"}}),
                               MakeElement("int1x7", {{"name", "level"}, {"default", "100"}}),
                               MakeElement("int1x7", {{"name", "pan"}, {"range", "-64S,63S"}, {"default", "0S"}}),
                               MakeElement("int2x4", {{"name", "tune"}, {"range", "-100S,100S"}, {"default", "0S"}}),
                               MakeElement("int1x7", {{"name", "rate"}, {"range", "0,8"}}),
                           }));
    AddStructType(MakeType("toneT", {{"name", "$name"}, {"address", "$address"}}, {},
                           {
                               MakeElement("int1x7", {{"name", "sw"}, {"range", "0,1"}}),
                               MakeElement("int2x7", {{"name", "cutoff"}, {"range", "0,1023"}, {"default", "512"}}),
                           }));
    AddStructType(MakeType("patT", {{"name", "$name"}, {"address", "$address"}},
                           {
                               MakeElement("commonT", {{"name", "common"}, {"address", "00 00 00 00"}}),
                               MakeElement("toneT", {{"name", "tone"}, {"address", "00 00 20 00"}, {"address", "00 00 21 00"}}),
                           },
                           {}));
    AddStructType(MakeType("fmT", {{"name", "$name"}, {"address", "$address"}},
                           {MakeElement("patT", {{"name", "pat"}, {"address", "00 00 00 00"}})}, {}));
    AddRootStruct(MakeElement("fmT", {{"name", "fm"}, {"address", "10 00 00 00"}}));
    return CVeyBufferManager::GetInstance().CreateStructs();
}
