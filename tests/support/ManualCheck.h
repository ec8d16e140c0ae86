#pragma once
// Checks of a built manual against its Markdown source: what the PDF says (through poppler's
// pdftotext) and how many pictures it holds (pdfimages), the sections and pictures the source
// names, and the section a message sends the reader to.
#include <string>
#include <vector>

namespace ManualCheck
{
// The PDF's text as UTF-8; empty when the file is no readable PDF (or pdftotext is missing).
std::string PdfText(const std::string& pdf);
// The number of pictures in the PDF; -1 when it cannot be listed.
int PdfPictureCount(const std::string& pdf);

// The titles of the source's numbered sections ("## " headings), and the pictures it names.
std::vector<std::string> SourceSections(const std::string& markdown);
std::vector<std::string> SourcePictures(const std::string& markdown);

// The section title a message names: the text inside 『』, else the last double-quoted text
// after "refer to".
std::string SectionNamedBy(const std::string& message);

// The text without blanks and line breaks: a title may wrap anywhere on a page.
std::string WithoutSpaces(const std::string& text);

// The command's standard output (empty when it cannot run).
std::string CommandOutput(const std::string& command);

// Expects the PDF to be one that holds every numbered section of its Markdown source, among them
// `namedSection`, and exactly the pictures the source names, each present in `pictureFolder`.
void ExpectManualComplete(const std::string& pdf, const std::string& source, const std::string& pictureFolder,
                          const std::string& namedSection);
}
