#include "model/CVeyScriptDefinitions.h"
#include "model/CVeyScriptReader.h"
#include "model/CVeyTagScanner.h"
#include "tests/support/TempDir.h"
#include "tests/support/TraceCapture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

namespace
{
// "type[name=value|...]" for an element, plus "{s:...}{l:...}" children for a type.
std::string Dump(const CVeyElementDefinition& definition)
{
    std::string text = definition.GetTypeName() + "[";
    bool first = true;
    for (const auto& attribute : definition.GetAttributes())
    {
        text += (first ? "" : "|") + attribute.first + "=" + attribute.second;
        first = false;
    }
    return text + "]";
}

std::string Dump(const CVeyTypeDefinition& definition)
{
    std::string text = Dump(static_cast<const CVeyElementDefinition&>(definition));
    const auto children = [&text](const char* kind, const CVeyTypeDefinition::CChildren& list) {
        if (list.empty())
            return;
        text += std::string("{") + kind + ":";
        for (const auto& child : list)
            text += Dump(child);
        text += "}";
    };
    children("s", definition.GetStructuralChildren());
    children("l", definition.GetLeafChildren());
    return text;
}

template <typename TList>
void DumpList(std::string& text, const char* name, const TList& list)
{
    if (list.empty())
        return;
    text += std::string(name) + ":";
    for (const auto& definition : list)
        text += " " + Dump(definition);
    text += "\n";
}

// Every list of the store, in the reader's table order; empty lists are left out.
std::string DumpStore()
{
    CVeyScriptDefinitions& store = CVeyScriptDefinitions::GetInstance();
    std::string text;
    DumpList(text, "structType", store.GetBufferGroup().structTypes);
    DumpList(text, "struct", store.GetBufferGroup().rootStructs);
    DumpList(text, "midiStruct", store.GetBufferGroup().midiStructs);
    DumpList(text, "midiIn", store.GetMidiGroup().inputs);
    DumpList(text, "midiOut", store.GetMidiGroup().outputs);
    DumpList(text, "panelType", store.GetViewGroup().panelTypes);
    DumpList(text, "panel", store.GetViewGroup().rootPanels);
    DumpList(text, "bitmap", store.GetResourceGroup().bitmaps);
    DumpList(text, "textWriter", store.GetResourceGroup().textWriters);
    DumpList(text, "stringTable", store.GetResourceGroup().stringTables);
    DumpList(text, "numberTable", store.GetResourceGroup().numberTables);
    return text;
}

class ScriptReader : public ::testing::Test
{
protected:
    void SetUp() override { CVeyScriptDefinitions::GetInstance().Clear(); }
    void TearDown() override { CVeyScriptDefinitions::GetInstance().Clear(); }

    static bool ReadScript(const std::string& text)
    {
        std::istringstream stream(text);
        return CVeyScriptReader::GetInstance().Read(stream);
    }

    static std::string DataFile(const char* name)
    {
        const char* root = std::getenv("Q9_TEST_DATA");
        return std::string(root ? root : "tests/data") + "/scripts/" + name;
    }
};

struct CScriptCase
{
    const char* name;
    std::string script;
    bool ok;
    std::string definitions;
    std::string trace;
};
}

TEST_F(ScriptReader, SyntaxCases)
{
    using namespace std::string_literals;
    const CScriptCase cases[] = {
        {"empty file", "", true, "", ""},
        {"only declaration and script tags", "<?xml version=\"1.0\"?>\n<script>\n</script>\n", true, "", ""},
        {"text outside tags ignored", "junk <bitmap><name>a</name></bitmap> more", true, "bitmap: [name=a]\n", ""},
        {"blank after the tag name", "<bitmap ><name>a</name></bitmap>", false, "", "Unknown tag. : bitmap \n"},
        {"attributes inside the tag", "<bitmap name=\"a\"></bitmap>", false, "",
         "Unknown tag. : bitmap name=\"a\"\n"},
        {"names are case-sensitive", "<Bitmap></Bitmap>", false, "", "Unknown tag. : Bitmap\n"},
        {"definitions before an unknown tag stay", "<bitmap><name>a</name></bitmap><oops><bitmap></bitmap>",
         false, "bitmap: [name=a]\n", "Unknown tag. : oops\n"},
        {"top-level comment holding '>'", "<!-- a > b <c> -- > d --><bitmap><name>a</name></bitmap>", true,
         "bitmap: [name=a]\n", ""},
        {"shortest comment", "<!--><bitmap></bitmap>", true, "bitmap: []\n", ""},
        {"comment inside a value is removed", "<bitmap><name>a<!-- x > y -->b</name></bitmap>", true,
         "bitmap: [name=ab]\n", ""},
        {"blanks and entities stay", "<bitmap><name> a &lt; b </name></bitmap>", true,
         "bitmap: [name= a &lt; b ]\n", ""},
        {"self-closing child swallows the rest",
         "<bitmap><name>a</name><flag/><size>1</size></bitmap>", true,
         "bitmap: [name=a|flag/=<size>1</size>]\n", ""},
        {"nested element of the same tag read whole",
         "<struct><type>T</type><struct>x</struct><name>n</name></struct>", true,
         "struct: T[struct=x|name=n]\n", ""},
        {"later type child wins", "<panel><type>A</type><type>B</type></panel>", true, "panel: B[]\n", ""},
        {"repeated attributes kept in order",
         "<struct><address>01</address><address>02</address></struct>", true,
         "struct: [address=01|address=02]\n", ""},
        {"empty tag ends the file", "<bitmap><name>a</name></bitmap><><oops>", true, "bitmap: [name=a]\n", ""},
        {"empty tag ends an element body", "<bitmap><name>a</name><><size>1</size></bitmap>", true,
         "bitmap: [name=a]\n", ""},
        {"unterminated body runs to the end", "<bitmap><name>a</name><size>1", true,
         "bitmap: [name=a|size=1]\n", ""},
        {"tag cut by the end of the file", "<bitmap></bitmap><textWriter", true, "bitmap: []\ntextWriter: []\n", ""},
        {"unterminated top-level comment ends reading", "<bitmap></bitmap><!-- <oops>", true, "bitmap: []\n", ""},
        {"unterminated comment in a body", "<bitmap><name>a</name><!-- <size>1</size></bitmap>", true,
         "bitmap: [name=a]\n", ""},
        {"CR LF read as LF, lone CR kept", "<bitmap><name>a\r\nb\rc</name></bitmap>\r\n", true,
         "bitmap: [name=a\nb\rc]\n", ""},
        {"runs of CR before LF lose only the last", "\r<bitmap><name>\r\r\na\r\r</name><x>\r</x></bitmap>\r", true,
         "bitmap: [name=\r\na\r\r|x=\r]\n", ""},
        {"NUL and high bytes are characters", "<bitmap><name>a\0b\xFF</name></bitmap>"s, true,
         "bitmap: [name=a\0b\xFF]\n"s, ""},
        {"comment whose text looks like a child", "<bitmap><!--x>t</!--x>--><name>a</name></bitmap>", true,
         "bitmap: [name=a]\n", ""},
        {"empty tag with an end tag of its own", "<bitmap><>t</><name>a</name></bitmap>", true, "bitmap: []\n", ""},
        {"end tag of the type inside its child",
         "<structType><value></structType>t<//structType></value></structType>", false, "structType: []{l:[]}\n",
         "Unknown tag. : //structType\n"},
        {"child of the element's own name", "<bitmap><bitmap>a</bitmap><name>b</name></bitmap>", true,
         "bitmap: [bitmap=a|name=b]\n", ""},
        {"self-closing top-level element is an unknown tag",
         "<structType><type>S</type></structType><struct/><panel></panel>",
         false,
         "structType: S[]\n",
         "Unknown tag. : struct/\n"},
        {"every top-level kind lands in its list",
         "<structType><type>S</type></structType><struct></struct><midiStruct></midiStruct><midiIn></midiIn>"
         "<midiOut></midiOut><panelType><type>P</type></panelType><panel></panel><bitmap></bitmap>"
         "<textWriter></textWriter><stringTable></stringTable><numberTable></numberTable>",
         true,
         "structType: S[]\nstruct: []\nmidiStruct: []\nmidiIn: []\nmidiOut: []\npanelType: P[]\npanel: []\n"
         "bitmap: []\ntextWriter: []\nstringTable: []\nnumberTable: []\n",
         ""},
        {"type children of both kinds in either type",
         "<structType><type>S</type><name>$name</name><struct><type>C</type><a>1</a></struct>"
         "<control><type>knob</type></control><value><type>int1x7</type><name>v</name></value></structType>"
         "<panelType><type>P</type><panel><type>Q</type></panel><value></value><size>1,2</size></panelType>",
         true,
         "structType: S[name=$name]{s:C[a=1]}{l:knob[]int1x7[name=v]}\n"
         "panelType: P[size=1,2]{s:Q[]}{l:[]}\n",
         ""},
    };
    for (const CScriptCase& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVeyScriptDefinitions::GetInstance().Clear();
        CTraceCapture capture;
        EXPECT_EQ(ReadScript(c.script), c.ok);
        EXPECT_EQ(DumpStore(), c.definitions);
        EXPECT_EQ(capture.Text(), c.trace);
    }
}

TEST_F(ScriptReader, ReadingTwiceAppends)
{
    const std::string script = "<bitmap><name>a</name></bitmap><panel><type>T</type></panel>";
    EXPECT_TRUE(ReadScript(script));
    EXPECT_TRUE(ReadScript(script));
    EXPECT_EQ(DumpStore(), "panel: T[] T[]\nbitmap: [name=a] [name=a]\n");
}

TEST_F(ScriptReader, LoadsTheSampleScript)
{
    CTraceCapture capture;
    ASSERT_TRUE(CVeyScriptReader::GetInstance().Load(DataFile("Minimal.xml")));
    EXPECT_EQ(capture.Text(), "");
    const std::string dump = DumpStore();

    CVeyScriptDefinitions& store = CVeyScriptDefinitions::GetInstance();
    const auto& types = store.GetBufferGroup().structTypes;
    ASSERT_EQ(types.size(), 4u);
    EXPECT_EQ(Dump(types[2]),
              "patT[name=$name|address=$address]"
              "{s:commonT[name=common|address=00 00 00 00]"
              "toneT[name=tone|address=00 00 20 00|address=00 00 21 00]}");
    EXPECT_EQ(types[0].GetLeafChildren().size(), 5u);
    EXPECT_EQ(Dump(types[0].GetLeafChildren()[2]), "int1x7[name=pan|range=-64S,63S|default=0S]");
    EXPECT_EQ(Dump(store.GetBufferGroup().rootStructs.at(0)), "fmT[name=fm|address=10 00 00 00]");
    EXPECT_EQ(store.GetBufferGroup().midiStructs.size(), 1u);
    EXPECT_EQ(Dump(store.GetMidiGroup().outputs.at(0)),
              "[name=out|modelID=00 00 3C|addressSize=4|rootStructRef=fm|midiStructRef=ms]");
    EXPECT_EQ(store.GetMidiGroup().inputs.size(), 1u);
    ASSERT_EQ(store.GetViewGroup().panelTypes.size(), 1u);
    EXPECT_EQ(store.GetViewGroup().panelTypes[0].GetLeafChildren().size(), 2u);
    EXPECT_EQ(Dump(store.GetViewGroup().rootPanels.at(0)), "mainT[name=main]");
    EXPECT_EQ(store.GetResourceGroup().bitmaps.size(), 2u);
    EXPECT_EQ(Dump(store.GetResourceGroup().stringTables.at(0)), "[name=onOff|table=OFF, ON]");
    EXPECT_EQ(store.GetResourceGroup().numberTables.size(), 1u);
    EXPECT_EQ(store.GetResourceGroup().textWriters.size(), 1u);

    // The same script with Windows line ends reads the same.
    CTempDir folder;
    std::string crlf;
    for (char c : ReadFileBytes(DataFile("Minimal.xml")))
        crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ASSERT_TRUE(WriteFileBytes(folder.File("Script.xml"), crlf));
    store.Clear();
    ASSERT_TRUE(CVeyScriptReader::GetInstance().Load(folder.File("Script.xml")));
    EXPECT_EQ(DumpStore(), dump);
}

TEST_F(ScriptReader, LoadFailsForAMissingFileOrAFolder)
{
    CTempDir folder;
    EXPECT_FALSE(CVeyScriptReader::GetInstance().Load(folder.File("absent.xml")));
    EXPECT_FALSE(CVeyScriptReader::GetInstance().Load(folder.Path()));
    EXPECT_TRUE(CVeyScriptDefinitions::GetInstance().IsEmpty());
}

TEST_F(ScriptReader, LargeAndHostileInputsEndQuickly)
{
    const size_t size = 16 * 1024 * 1024;
    const struct
    {
        const char* name;
        std::string script;
        bool ok;
    } cases[] = {
        {"open brackets only", std::string(size, '<'), false},
        {"body of open brackets", "<bitmap>" + std::string(size, '<'), true},
        {"comment of closing brackets", "<!--" + std::string(size, '>'), true},
        {"body comment of closing brackets", "<bitmap><!--" + std::string(size, '>'), true},
        {"deeply nested same tags", [] {
             std::string s;
             for (size_t i = 0; i < size / 16; ++i)
                 s += "<struct>";
             return s;
         }(), true},
        {"many small elements", [] {
             std::string s;
             while (s.size() < size)
                 s += "<bitmap><name>b</name><stateCount>4</stateCount></bitmap>\n";
             return s;
         }(), true},
        {"NUL bytes", std::string(size, '\0'), true},
    };
    for (const auto& c : cases)
    {
        SCOPED_TRACE(c.name);
        CVeyScriptDefinitions::GetInstance().Clear();
        CTraceCapture capture;
        EXPECT_EQ(ReadScript(c.script), c.ok);
    }
}

namespace
{
// The element-by-element reading through the copying scanner and ReadType/ReadElement, the plain
// way every element could be read, into the store: the reference for what ReadText stores.
void ReadOneByOne(const std::string& text)
{
    CVeyScriptDefinitions& store = CVeyScriptDefinitions::GetInstance();
    const std::pair<const char*, CVeyElementDefinitions*> elementLists[] = {
        {"struct", &store.GetBufferGroup().rootStructs},      {"midiStruct", &store.GetBufferGroup().midiStructs},
        {"midiIn", &store.GetMidiGroup().inputs},             {"midiOut", &store.GetMidiGroup().outputs},
        {"panel", &store.GetViewGroup().rootPanels},          {"bitmap", &store.GetResourceGroup().bitmaps},
        {"textWriter", &store.GetResourceGroup().textWriters}, {"stringTable", &store.GetResourceGroup().stringTables},
        {"numberTable", &store.GetResourceGroup().numberTables},
    };
    CVeyTagScanner scanner(text);
    for (std::string tag = scanner.ReadTag(); !tag.empty(); tag = scanner.ReadTag())
    {
        if (tag.compare(0, 4, "?xml") == 0 || tag == "script" || tag == "/script")
            continue;
        CVeyTypeDefinitions* types = tag == "structType" ? &store.GetBufferGroup().structTypes
                                     : tag == "panelType" ? &store.GetViewGroup().panelTypes
                                                          : nullptr;
        CVeyElementDefinitions* elements = nullptr;
        for (const auto& list : elementLists)
            if (tag == list.first)
                elements = list.second;
        if (types)
        {
            types->emplace_back();
            CVeyScriptReader::GetInstance().ReadType(scanner.ReadBody(), types->back());
        }
        else if (elements)
        {
            elements->emplace_back();
            CVeyScriptReader::GetInstance().ReadElement(scanner.ReadBody(), elements->back());
        }
        else
            break;
    }
}

// A script of well-formed "structType" and "bitmap" elements, then a few pieces put in at random
// places (comments, stray and unmatched tags, nested names, empty tags, lone brackets) and
// sometimes a tag taken out.
std::string RandomScript(std::mt19937& random)
{
    const auto pick = [&random](size_t count) { return static_cast<size_t>(random() % count); };
    const char* const attributes[] = {"name", "type", "range", "value", "struct", "bitmap"};
    const auto attribute = [&](const char* name) {
        const char* const texts[] = {"a", "", " x > y ", "0,127", "$name"};
        return std::string("<") + name + ">" + texts[pick(5)] + "</" + name + ">";
    };
    std::string script;
    for (size_t element = 1 + pick(3); element > 0; --element)
    {
        const bool type = pick(2) == 0;
        script += type ? "<structType>" : "<bitmap>";
        for (size_t child = pick(5); child > 0; --child)
        {
            if (type && pick(3) == 0)
            {
                const char* kind = pick(2) ? "value" : "struct";
                script += std::string("\n <") + kind + ">";
                for (size_t inner = pick(4); inner > 0; --inner)
                    script += attribute(attributes[pick(3)]);
                script += std::string("</") + kind + ">";
            }
            else
                script += attribute(attributes[pick(type ? 3 : 6)]);
        }
        script += type ? "</structType>\n" : "</bitmap>\n";
    }
    const char* const strays[] = {"<!-- c -->", "<!--", "-->", "<>", "<", ">", "</name>", "<name>", "<value>",
                                  "</value>", "<structType>", "</structType>", "<bitmap>", "</bitmap>", "<a/>"};
    for (size_t stray = pick(3); stray > 0; --stray)
        script.insert(pick(script.size() + 1), strays[pick(15)]);
    for (size_t cut = pick(3) == 0 ? 1 : 0; cut > 0; --cut)
    {
        // A tag taken out: an element left without its end tag, or an end tag without its start.
        const size_t open = script.find('<', pick(script.size() + 1));
        const size_t close = open == std::string::npos ? open : script.find('>', open);
        if (close != std::string::npos)
            script.erase(open, close + 1 - open);
    }
    return script;
}
}

// Reading the whole text stores exactly what reading each element through the copying scanner
// gives, for well-formed elements and for every kind of damage.
TEST_F(ScriptReader, WholeTextReadsAsElementByElement)
{
    std::mt19937 random(20240611);
    for (int round = 0; round < 4000; ++round)
    {
        const std::string script = RandomScript(random);
        SCOPED_TRACE(script);
        CVeyScriptDefinitions::GetInstance().Clear();
        CTraceCapture capture;
        CVeyScriptReader::GetInstance().ReadText(script);
        const std::string whole = DumpStore();
        CVeyScriptDefinitions::GetInstance().Clear();
        ReadOneByOne(script);
        ASSERT_EQ(whole, DumpStore());
    }
}

// The stream is read in pieces; a CR LF pair split between two of them still reads as LF, and a
// CR ending a piece before anything else stays.
TEST_F(ScriptReader, LineEndsAcrossReadPieces)
{
    for (const size_t filler : {65534u, 65535u, 65536u, 131071u})
    {
        SCOPED_TRACE(filler);
        const std::string head = "<bitmap><name>" + std::string(filler - 14, 'a');
        CVeyScriptDefinitions::GetInstance().Clear();
        ASSERT_TRUE(ReadScript(head + "\r\nb\r\rc\r</name></bitmap>\r"));
        const auto& bitmaps = CVeyScriptDefinitions::GetInstance().GetResourceGroup().bitmaps;
        ASSERT_EQ(bitmaps.size(), 1u);
        EXPECT_EQ(bitmaps[0].GetAttributes().at(0).second, std::string(filler - 14, 'a') + "\nb\r\rc\r");
    }
}

TEST(TagScanner, ReadTagAndBodyKeepTheCurrentTag)
{
    const std::string text = "x<a>1<a>2</a>3</a><b>";
    CVeyTagScanner scanner(text);
    EXPECT_EQ(scanner.ReadTag(), "a");
    EXPECT_EQ(scanner.GetCurrentTag(), "a");
    EXPECT_EQ(scanner.ReadBody(), "1<a>2</a>3");
    EXPECT_EQ(scanner.ReadTag(), "b");
    EXPECT_EQ(scanner.ReadBody(), "");
    EXPECT_EQ(scanner.ReadTag(), "");
    EXPECT_EQ(scanner.GetCurrentTag(), "");
    EXPECT_TRUE(scanner.AtEnd());
}

// The copy-free reading the script reader uses gives exactly what ReadTag and ReadBody give, on
// texts with comments in every place, nested and unclosed elements and stray brackets.
TEST(TagScanner, InPlaceReadingMatchesCopyingReading)
{
    const char* const texts[] = {
        "<a>1</a><b>2</b>",
        "x<a>1<a>2</a>3</a><b>",
        "<a>1<!-- c --> 2</a><b>3</b>",
        "<a>1<!-- > still comment --> 2</a>",
        "<a>1<!--> 2</a>",
        "<a>1<!---> 2</a>",
        "<a>1<!-- unterminated",
        "<!-- top -- > level --><a>1</a>",
        "<!-->x<a>1</a>",
        "<!-- no end",
        "<a>1</a",
        "<a>1<",
        "<a>body without end",
        "<a><a></a>",
        "<a x=\"1\">v</a x=\"1\"><c></c>",
        "<a>1</a><>tail<b>2</b>",
        "<a>1<b>2</b><!--x-->3<b>4</b></a>",
        "<a>",
        "",
        "no tags at all",
    };
    for (const char* text : texts)
    {
        SCOPED_TRACE(text);
        const std::string source = text;
        CVeyTagScanner copying(source);
        CVeyTagScanner inPlace(source);
        std::string scratch;
        for (int step = 0; step < 20; ++step)
        {
            const std::string tag = copying.ReadTag();
            const char* tagBegin = nullptr;
            const char* tagEnd = nullptr;
            inPlace.NextTag(tagBegin, tagEnd);
            ASSERT_EQ(std::string(tagBegin, tagEnd), tag);
            if (tag.empty())
                break;
            const std::string body = copying.ReadBody();
            const char* bodyBegin = nullptr;
            const char* bodyEnd = nullptr;
            inPlace.ReadBodyOf(tagBegin, static_cast<size_t>(tagEnd - tagBegin), bodyBegin, bodyEnd, scratch);
            ASSERT_EQ(std::string(bodyBegin, bodyEnd), body);
            ASSERT_EQ(inPlace.AtEnd(), copying.AtEnd());
        }
    }
}
