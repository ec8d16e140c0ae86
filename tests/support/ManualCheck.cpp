#include "tests/support/ManualCheck.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace ManualCheck
{
namespace
{
std::string Quoted(const std::string& path)
{
    std::string quoted = "'";
    for (char c : path)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}
}

std::string CommandOutput(const std::string& command)
{
    std::string output;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return output;
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;)
        output.append(buffer, n);
    return pclose(pipe) == 0 ? output : std::string();
}

std::string PdfText(const std::string& pdf)
{
    return CommandOutput("pdftotext -enc UTF-8 " + Quoted(pdf) + " - 2>/dev/null");
}

int PdfPictureCount(const std::string& pdf)
{
    const std::string listing = CommandOutput("pdfimages -list " + Quoted(pdf) + " 2>/dev/null");
    if (listing.empty())
        return -1;
    // Two header lines, then one line per picture.
    int count = 0;
    for (const std::string& line : Lines(listing))
        if (line.find(" image ") != std::string::npos)
            ++count;
    return count;
}

std::vector<std::string> SourceSections(const std::string& markdown)
{
    std::vector<std::string> sections;
    for (const std::string& line : Lines(markdown))
        if (line.compare(0, 3, "## ") == 0)
            sections.push_back(line.substr(3));
    return sections;
}

std::vector<std::string> SourcePictures(const std::string& markdown)
{
    std::vector<std::string> pictures;
    for (size_t at = markdown.find("]("); at != std::string::npos; at = markdown.find("](", at + 2))
    {
        const size_t opening = markdown.rfind("![", at);
        const size_t end = markdown.find(')', at);
        if (opening == std::string::npos || end == std::string::npos || markdown.find('\n', opening) < at)
            continue;
        pictures.push_back(markdown.substr(at + 2, end - at - 2));
    }
    return pictures;
}

std::string SectionNamedBy(const std::string& message)
{
    const std::string open = "『";
    const std::string close = "』";
    if (const size_t begin = message.find(open); begin != std::string::npos)
    {
        const size_t end = message.find(close, begin);
        return end == std::string::npos ? std::string() : message.substr(begin + open.size(), end - begin - open.size());
    }
    const size_t refer = message.find("refer to \"");
    const size_t end = message.rfind('"');
    if (refer == std::string::npos || end == std::string::npos || end <= refer + 10)
        return std::string();
    return message.substr(refer + 10, end - refer - 10);
}

std::string WithoutSpaces(const std::string& text)
{
    std::string kept;
    for (char c : text)
        if (c != ' ' && c != '\n' && c != '\r' && c != '\t' && c != '\f')
            kept += c;
    return kept;
}

void ExpectManualComplete(const std::string& pdf, const std::string& source, const std::string& pictureFolder,
                          const std::string& namedSection)
{
    SCOPED_TRACE(pdf);
    ASSERT_TRUE(std::filesystem::is_regular_file(pdf));
    std::ifstream in(pdf, std::ios::binary);
    std::string head(5, '\0');
    in.read(head.data(), 5);
    EXPECT_EQ(head, "%PDF-");
    const std::string text = WithoutSpaces(PdfText(pdf));
    ASSERT_FALSE(text.empty()) << "pdftotext (poppler-utils) reads no text from it";

    std::ifstream sourceIn(source, std::ios::binary);
    std::ostringstream markdown;
    markdown << sourceIn.rdbuf();
    const std::vector<std::string> sections = SourceSections(markdown.str());
    ASSERT_FALSE(sections.empty()) << source;
    EXPECT_NE(std::find(sections.begin(), sections.end(), namedSection), sections.end()) << namedSection;
    for (const std::string& section : sections)
        EXPECT_NE(text.find(WithoutSpaces(section)), std::string::npos) << section;

    const std::vector<std::string> pictures = SourcePictures(markdown.str());
    EXPECT_FALSE(pictures.empty());
    for (const std::string& picture : pictures)
        EXPECT_TRUE(std::filesystem::is_regular_file(pictureFolder + "/" + picture)) << picture;
    EXPECT_EQ(PdfPictureCount(pdf), int(pictures.size()));
}
}
