// Build-time tool: typesets one manual from its Markdown source into a PDF file.
//   q9_make_manual <source.md> <picture folder> <output.pdf> <font family> <title>
// The line "<!-- contents -->" in the source becomes the list of its numbered sections (the
// "## " headings), so the contents never disagree with the sections. Fails (and leaves no PDF)
// when the source names a picture that the picture folder does not hold.
#include "platform/GuiBootstrap.h"
#include "platform/PdfDocument.h"

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace
{
constexpr const char* kContentsMarker = "<!-- contents -->";

bool ReadText(const std::string& path, std::string& text)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    std::ostringstream buffer;
    buffer << in.rdbuf();
    text = buffer.str();
    return bool(in) || in.eof();
}

std::vector<std::string> SplitLines(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
    {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(line);
    }
    return lines;
}
}

// The source with the contents marker replaced by a list of its "## " headings.
std::string WithContents(const std::string& source)
{
    const std::vector<std::string> lines = SplitLines(source);
    std::string contents;
    for (const std::string& line : lines)
        if (line.compare(0, 3, "## ") == 0)
        {
            // "6. Title" inside a list item would start a numbered list of its own.
            std::string title = line.substr(3);
            const size_t digits = title.find_first_not_of("0123456789");
            if (digits > 0 && digits != std::string::npos && title[digits] == '.')
                title.insert(digits, "\\");
            contents += "- " + title + "\n";
        }
    std::string result;
    for (const std::string& line : lines)
        result += (line == kContentsMarker ? contents : line + "\n");
    return result;
}

int main(int argc, char** argv)
{
    if (argc != 6)
    {
        std::fprintf(stderr, "usage: %s <source.md> <picture folder> <output.pdf> <font family> <title>\n", argv[0]);
        return 2;
    }
    std::string source;
    if (!ReadText(argv[1], source))
    {
        std::fprintf(stderr, "%s: cannot read %s\n", argv[0], argv[1]);
        return 1;
    }
    int qtArgc = 1;
    CGuiBootstrap bootstrap(qtArgc, argv);
    CPdfDocumentJob job;
    job.markdown = WithContents(source);
    job.pictureFolder = argv[2];
    job.outputPath = argv[3];
    job.fontFamily = argv[4];
    job.title = argv[5];
    job.creator = "Q9";
    const std::string problem = WriteMarkdownPdf(job);
    if (!problem.empty())
    {
        std::remove(argv[3]);
        std::fprintf(stderr, "%s: %s: %s\n", argv[0], argv[1], problem.c_str());
        return 1;
    }
    return 0;
}
