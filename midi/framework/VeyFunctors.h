#pragma once
// Named functors: objects with one operation, Run, that takes an argument text and gives a
// result text. Buttons of the script and the application trigger them by name. The buffer
// functors take a comma-separated list of model paths and act on each struct or value.
#include <string>

class CVeyStruct;
class CVeyValue;

class IVeyFunctor
{
public:
    virtual ~IVeyFunctor() = default;
    virtual void Run(std::string& result, const std::string& argument) = 0;
};

class AVeyBufferFunctor : public IVeyFunctor
{
public:
    // Each name is tried as a struct path, then (not found, or the struct's run failed) as a
    // value path; names that match neither are skipped. The result is "1".
    void Run(std::string& result, const std::string& argument) override;

protected:
    virtual bool RunOnStruct(CVeyStruct& structure) = 0;
    virtual bool RunOnValue(CVeyValue& value) = 0;
};

// "SendDt1": the struct or value transmits itself as data-set messages.
class FVeySendDt1 : public AVeyBufferFunctor
{
public:
    static FVeySendDt1& GetInstance();

protected:
    bool RunOnStruct(CVeyStruct& structure) override;
    bool RunOnValue(CVeyValue& value) override;
};

// "SendRq1": one data request for the absolute range, through the root struct's MIDI output.
class FVeySendRq1 : public AVeyBufferFunctor
{
public:
    static FVeySendRq1& GetInstance();

protected:
    bool RunOnStruct(CVeyStruct& structure) override;
    bool RunOnValue(CVeyValue& value) override;
};

// "RequestRq1Dt1": request and wait, by the requester listening on the first script input that
// receives the root struct.
class FVeyRequestRq1Dt1 : public AVeyBufferFunctor
{
public:
    static FVeyRequestRq1Dt1& GetInstance();

protected:
    bool RunOnStruct(CVeyStruct& structure) override;
    bool RunOnValue(CVeyValue& value) override;
};
