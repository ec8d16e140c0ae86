#pragma once
// Text output with indentation: every line written through an ATextOut starts with the current
// indentation. Sinks override WriteRaw.
#include <string>

namespace GT
{
class ITextOut
{
public:
    virtual ~ITextOut() = default;
    virtual void Write(const std::string& text) = 0;
    virtual void Printf(const char* format, ...) __attribute__((format(printf, 2, 3))) = 0;
    virtual void Indent(int delta) = 0;
};

class ATextOut : public ITextOut
{
public:
    void Write(const std::string& text) override;
    void Printf(const char* format, ...) override __attribute__((format(printf, 2, 3)));
    void Indent(int delta) override;

protected:
    virtual void WriteRaw(const std::string& text);

private:
    std::string m_indentation;
    bool m_atLineStart = true;
};

class ITextIn
{
public:
    virtual ~ITextIn() = default;
    virtual std::string Read() = 0;
    virtual std::string ReadAll() = 0;
};

class ATextIn : public ITextIn
{
public:
    std::string Read() override { return DoRead(); }
    std::string ReadAll() override { return DoReadAll(); }

protected:
    virtual std::string DoRead() { return {}; }
    virtual std::string DoReadAll() { return {}; }
};
}
