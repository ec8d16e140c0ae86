#include "model/CVeyScriptReader.h"

#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyTagScanner.h"
#include "toolkit/gt/TraceTextOut.h"

#include <filesystem>
#include <fstream>
#include <istream>

namespace
{
constexpr size_t kScriptBodyReserve = 262144;
constexpr size_t kTypeBodyReserve = 32768;

// The script was written on Windows and read in text mode there: CR LF pairs read as LF.
void DropCarriageReturnsBeforeLineFeeds(std::string& text)
{
    size_t out = 0;
    for (size_t in = 0; in < text.size(); ++in)
    {
        if (text[in] == '\r' && in + 1 < text.size() && text[in + 1] == '\n')
            continue;
        text[out++] = text[in];
    }
    text.resize(out);
}

template <typename TDefinition>
void ReadInto(std::vector<TDefinition>& list, const std::string& body,
              bool (CVeyScriptReader::*read)(const std::string&, TDefinition&), CVeyScriptReader& reader)
{
    TDefinition definition;
    (reader.*read)(body, definition);
    list.push_back(std::move(definition));
}
}

CVeyScriptReader& CVeyScriptReader::GetInstance()
{
    static CVeyScriptReader instance;
    return instance;
}

bool CVeyScriptReader::Load(const std::string& path)
{
    std::error_code error;
    if (std::filesystem::is_directory(path, error))
        return false;
    std::ifstream stream(path, std::ios::in | std::ios::binary);
    if (!stream)
        return false;
    return Read(stream);
}

bool CVeyScriptReader::Read(std::istream& stream)
{
    std::string text;
    char chunk[65536];
    while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0)
        text.append(chunk, static_cast<size_t>(stream.gcount()));
    DropCarriageReturnsBeforeLineFeeds(text);
    return ReadText(text);
}

bool CVeyScriptReader::ReadText(const std::string& text)
{
    CVeyScriptDefinitions& store = CVeyScriptDefinitions::GetInstance();
    CVeyScriptDefinitions::CBufferGroup& buffer = store.GetBufferGroup();
    CVeyScriptDefinitions::CMidiGroup& midi = store.GetMidiGroup();
    CVeyScriptDefinitions::CViewGroup& view = store.GetViewGroup();
    CVeyScriptDefinitions::CResourceGroup& resource = store.GetResourceGroup();

    const auto element = &CVeyScriptReader::ReadElement;
    const auto type = &CVeyScriptReader::ReadType;

    CVeyTagScanner scanner(text);
    std::string body;
    body.reserve(kScriptBodyReserve);
    for (std::string tag = scanner.ReadTag(); !tag.empty(); tag = scanner.ReadTag())
    {
        if (tag.compare(0, 4, "?xml") == 0 || tag == "script" || tag == "/script")
            continue;

        CVeyElementDefinitions* elementList = nullptr;
        CVeyTypeDefinitions* typeList = nullptr;
        if (tag == "structType")
            typeList = &buffer.structTypes;
        else if (tag == "panelType")
            typeList = &view.panelTypes;
        else if (tag == "struct")
            elementList = &buffer.rootStructs;
        else if (tag == "midiStruct")
            elementList = &buffer.midiStructs;
        else if (tag == "midiIn")
            elementList = &midi.inputs;
        else if (tag == "midiOut")
            elementList = &midi.outputs;
        else if (tag == "panel")
            elementList = &view.rootPanels;
        else if (tag == "bitmap")
            elementList = &resource.bitmaps;
        else if (tag == "textWriter")
            elementList = &resource.textWriters;
        else if (tag == "stringTable")
            elementList = &resource.stringTables;
        else if (tag == "numberTable")
            elementList = &resource.numberTables;
        else
        {
            GetTraceTextOut().Printf("Unknown tag. : %s\n", tag.c_str());
            return false;
        }

        scanner.ReadBody(body);
        if (typeList)
            ReadInto(*typeList, body, type, *this);
        else
            ReadInto(*elementList, body, element, *this);
    }
    return true;
}

bool CVeyScriptReader::ReadElement(const std::string& body, CVeyElementDefinition& definition)
{
    CVeyTagScanner scanner(body);
    std::string value;
    for (std::string tag = scanner.ReadTag(); !tag.empty(); tag = scanner.ReadTag())
    {
        scanner.ReadBody(value);
        if (tag == "type")
            definition.SetTypeName(value);
        else
            definition.Add(tag, value);
    }
    return true;
}

bool CVeyScriptReader::ReadType(const std::string& body, CVeyTypeDefinition& definition)
{
    CVeyTagScanner scanner(body);
    std::string value;
    value.reserve(kTypeBodyReserve);
    for (std::string tag = scanner.ReadTag(); !tag.empty(); tag = scanner.ReadTag())
    {
        scanner.ReadBody(value);
        if (tag == "type")
        {
            definition.SetTypeName(value);
        }
        else if (tag == "struct" || tag == "panel")
        {
            definition.GetStructuralChildren().emplace_back();
            ReadElement(value, definition.GetStructuralChildren().back());
        }
        else if (tag == "value" || tag == "control")
        {
            definition.GetLeafChildren().emplace_back();
            ReadElement(value, definition.GetLeafChildren().back());
        }
        else
        {
            definition.Add(tag, value);
        }
    }
    return true;
}
