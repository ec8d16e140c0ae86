#include "model/CVeyScriptReader.h"

#include "model/CVeyPlainElementReader.h"
#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyTagScanner.h"
#include "toolkit/gt/OutOfMemory.h"
#include "toolkit/gt/TraceTextOut.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <istream>

namespace
{
// The script was written on Windows and read in text mode there: CR LF pairs read as LF. Appends
// [begin, end) to `text` without the CRs that an LF follows; a CR at `end` itself is the caller's.
void AppendDroppingCarriageReturns(std::string& text, const char* begin, const char* end)
{
    while (begin != end)
    {
        const char* cr = static_cast<const char*>(std::memchr(begin, '\r', static_cast<size_t>(end - begin)));
        if (!cr)
        {
            text.append(begin, end);
            return;
        }
        const bool beforeLineFeed = cr + 1 != end && cr[1] == '\n';
        text.append(begin, beforeLineFeed ? cr : cr + 1);
        begin = cr + 1;
    }
}

// The bytes left in the stream when it can tell, else 0.
size_t RemainingSize(std::istream& stream)
{
    const std::streampos here = stream.tellg();
    if (here == std::streampos(-1) || !stream.seekg(0, std::ios::end))
    {
        stream.clear();
        return 0;
    }
    const std::streampos end = stream.tellg();
    stream.seekg(here);
    return end > here ? static_cast<size_t>(end - here) : 0;
}

// The reading itself works on stretches of the script's text: the bodies of elements are not
// copied level by level, and tags are compared where they lie. Only the attribute names and
// values that are kept become strings.
class CTextStretch
{
public:
    CTextStretch(const char* begin, const char* end) : begin(begin), end(end) {}
    bool operator==(const char* literal) const
    {
        const size_t length = std::strlen(literal);
        return static_cast<size_t>(end - begin) == length && std::memcmp(begin, literal, length) == 0;
    }
    bool StartsWith(const char* literal) const
    {
        const size_t length = std::strlen(literal);
        return static_cast<size_t>(end - begin) >= length && std::memcmp(begin, literal, length) == 0;
    }
    size_t size() const { return static_cast<size_t>(end - begin); }
    bool empty() const { return begin == end; }
    std::string ToString() const { return std::string(begin, end); }

    const char* begin;
    const char* end;
};

// Walks the child elements of a body: each child's tag and body in turn.
class CChildWalker
{
public:
    explicit CChildWalker(const CTextStretch& body) : m_scanner(body.begin, body.end) {}

    // False at the end of the body (or at an empty tag, where reading stops as well).
    bool Next(CTextStretch& tag, CTextStretch& body)
    {
        if (!NextTag(tag))
            return false;
        ReadBody(tag, body);
        return true;
    }
    bool NextTag(CTextStretch& tag)
    {
        m_scanner.NextTag(tag.begin, tag.end);
        return !tag.empty();
    }
    // The body of the element `tag` just read; valid until the next call.
    void ReadBody(const CTextStretch& tag, CTextStretch& body)
    {
        m_scanner.ReadBodyOf(tag.begin, tag.size(), body.begin, body.end, m_scratch);
    }
    // Reads the element `tag` just read the quick way when its shape allows; false, nothing
    // consumed, when it must be read the general way.
    bool ReadPlainElement(const CTextStretch& tag, CVeyElementDefinition& definition, CVeyTypeDefinition* type)
    {
        const char* after = m_plain.Read(m_scanner.GetPosition(), m_scanner.GetEnd(), tag.begin, tag.size(),
                                         definition, type);
        if (!after)
            return false;
        m_scanner.SkipTo(after);
        return true;
    }

private:
    CVeyTagScanner m_scanner;
    std::string m_scratch;
    CVeyPlainElementReader m_plain;
};

// How many child elements a body of plain children has (more when they nest, fewer never): each
// starts with a '<' that no '/' follows.
size_t CountChildTags(const CTextStretch& body)
{
    size_t count = 0;
    for (const char* at = body.begin; at != body.end; ++at)
    {
        at = static_cast<const char*>(std::memchr(at, '<', static_cast<size_t>(body.end - at)));
        if (!at)
            break;
        count += at + 1 != body.end && at[1] != '/';
    }
    return count;
}

// Fills `definition` from an element's body. With `type` (the same definition as a type), the
// "struct"/"panel" and "value"/"control" children become its children instead of attributes.
void ReadDefinitionBody(const CTextStretch& body, CVeyElementDefinition& definition, CVeyTypeDefinition* type)
{
    if (!type)
        definition.GetAttributes().reserve(CountChildTags(body));
    CChildWalker children(body);
    CTextStretch tag(nullptr, nullptr);
    CTextStretch value(nullptr, nullptr);
    while (children.Next(tag, value))
    {
        CVeyTypeDefinition::CChildren* childList = nullptr;
        if (type && (tag == "struct" || tag == "panel"))
            childList = &type->GetStructuralChildren();
        else if (type && (tag == "value" || tag == "control"))
            childList = &type->GetLeafChildren();

        if (childList)
        {
            childList->emplace_back();
            ReadDefinitionBody(value, childList->back(), nullptr);
        }
        else if (tag == "type")
            definition.SetTypeName(value.ToString());
        else
            definition.GetAttributes().emplace_back(tag.ToString(), value.ToString());
    }
}

void ReadElementBody(const CTextStretch& body, CVeyElementDefinition& definition)
{
    ReadDefinitionBody(body, definition, nullptr);
}

void ReadTypeBody(const CTextStretch& body, CVeyTypeDefinition& definition)
{
    ReadDefinitionBody(body, definition, &definition);
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
    return GT::ReadWithinMemory("the script", [&] { return ReadStream(stream); });
}

bool CVeyScriptReader::ReadStream(std::istream& stream)
{
    std::string text;
    text.reserve(RemainingSize(stream));
    // The CRs go as the chunks are appended, so the text is written once. A CR that ends a chunk
    // waits for the first character of the next.
    char chunk[65536];
    bool carriageReturnWaits = false;
    while (stream.read(chunk, sizeof chunk) || stream.gcount() > 0)
    {
        const char* begin = chunk;
        const char* end = chunk + stream.gcount();
        if (carriageReturnWaits && *begin != '\n')
            text += '\r';
        carriageReturnWaits = end[-1] == '\r';
        AppendDroppingCarriageReturns(text, begin, carriageReturnWaits ? end - 1 : end);
    }
    if (carriageReturnWaits)
        text += '\r';
    return ReadText(text);
}

bool CVeyScriptReader::ReadText(const std::string& text)
{
    CVeyScriptDefinitions& store = CVeyScriptDefinitions::GetInstance();
    CVeyScriptDefinitions::CBufferGroup& buffer = store.GetBufferGroup();
    CVeyScriptDefinitions::CMidiGroup& midi = store.GetMidiGroup();
    CVeyScriptDefinitions::CViewGroup& view = store.GetViewGroup();
    CVeyScriptDefinitions::CResourceGroup& resource = store.GetResourceGroup();

    CChildWalker elements(CTextStretch(text.data(), text.data() + text.size()));
    CTextStretch tag(nullptr, nullptr);
    CTextStretch body(nullptr, nullptr);
    while (elements.NextTag(tag))
    {
        if (tag.StartsWith("?xml") || tag == "script" || tag == "/script")
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
            GetTraceTextOut().Printf("Unknown tag. : %s\n", tag.ToString().c_str());
            return false;
        }

        if (typeList)
        {
            typeList->emplace_back();
            if (elements.ReadPlainElement(tag, typeList->back(), &typeList->back()))
                continue;
            typeList->back() = CVeyTypeDefinition();
            elements.ReadBody(tag, body);
            ReadTypeBody(body, typeList->back());
        }
        else
        {
            elementList->emplace_back();
            if (elements.ReadPlainElement(tag, elementList->back(), nullptr))
                continue;
            elementList->back() = CVeyElementDefinition();
            elements.ReadBody(tag, body);
            ReadElementBody(body, elementList->back());
        }
    }
    return true;
}

bool CVeyScriptReader::ReadElement(const std::string& body, CVeyElementDefinition& definition)
{
    ReadElementBody(CTextStretch(body.data(), body.data() + body.size()), definition);
    return true;
}

bool CVeyScriptReader::ReadType(const std::string& body, CVeyTypeDefinition& definition)
{
    ReadTypeBody(CTextStretch(body.data(), body.data() + body.size()), definition);
    return true;
}
