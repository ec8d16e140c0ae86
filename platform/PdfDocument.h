#pragma once
// Typesets a Markdown text (headings, paragraphs, lists, tables, pictures) into a PDF file of A4
// pages with page numbers, in one font family. Needs the GUI application (CGuiBootstrap) for its
// fonts.
#include <string>
#include <vector>

struct CPdfDocumentJob
{
    std::string markdown;        // UTF-8
    std::string pictureFolder;   // where the pictures the text names ("![caption](name.png)") are
    std::string outputPath;
    std::string title;           // the PDF's title entry
    std::string creator;         // the PDF's creator entry
    std::string fontFamily;      // must be installed: a missing one would typeset empty boxes
    int pointSize = 10;
};

// Writes the PDF. Returns the empty text on success, otherwise what went wrong (a missing font,
// a picture the text names that is not in the picture folder, an unwritable output). The
// pictures the text names are listed in `pictures` (each once, in order) in both cases.
std::string WriteMarkdownPdf(const CPdfDocumentJob& job, std::vector<std::string>* pictures = nullptr);
