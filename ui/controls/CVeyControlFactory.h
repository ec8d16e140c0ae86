#pragma once
// Turns a "control" element of the script into an empty control of the class its type name
// selects; the view manager then lets the control read its attributes. The framework's factory
// knows the framework's types; the application derives its own factory for its controls, registers
// it, and hands every other type name to the framework's.
#include "model/CVeyElementDefinition.h"

#include <memory>
#include <string>
#include <vector>

class CVeyControl;

class CVeyControlFactory
{
public:
    using FCreateControl = std::unique_ptr<CVeyControl> (*)();
    struct CControlType
    {
        std::string name;
        FCreateControl create;   // null while the class is not part of the build
    };

    virtual ~CVeyControlFactory();

    // The registered factory, or the framework's own when none is registered.
    static CVeyControlFactory& GetInstance();
    // Makes `factory` the registered one (null clears the registration). The application's factory
    // registers itself in its constructor and clears the registration in its destructor.
    static void Register(CVeyControlFactory* factory);
    static CVeyControlFactory* GetRegistered();

    // A new control for the definition's type name (exact, case-sensitive match), or null.
    virtual std::unique_ptr<CVeyControl> CreateControl(const CVeyElementDefinition& definition);

    // The framework's types in the order they are tried.
    static const std::vector<CControlType>& GetFrameworkTypes();
    // Installs the creator of a framework type name, or adds the name at the end of the list when
    // it is new; a null creator removes the class again (the name stays and creates nothing).
    static void SetFrameworkType(const std::string& name, FCreateControl create);

    // The creator every control class can be named by in the type list.
    template <class T>
    static std::unique_ptr<CVeyControl> Make()
    {
        return std::make_unique<T>();
    }

private:
    static std::vector<CControlType>& FrameworkTypes();
};
