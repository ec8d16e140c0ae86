#pragma once
// A name-to-resource map of one kind. The map owns its resources; users of Find keep the pointer
// and own nothing. Resources are held through their common base, so the map of a kind declared
// above the model (bitmaps) needs no more than a declaration of its type here.
#include "model/CVeyResource.h"

#include <map>
#include <memory>
#include <string>

template <class T>
class CVeyResources
{
public:
    virtual ~CVeyResources() = default;

    // The resource called `name`, or null (also when the stored resource is of another kind).
    T* Find(const std::string& name) const { return dynamic_cast<T*>(FindResource(name)); }
    CVeyResource* FindResource(const std::string& name) const
    {
        const auto it = m_resources.find(name);
        return it == m_resources.end() ? nullptr : it->second.get();
    }
    bool Contains(const std::string& name) const { return m_resources.count(name) != 0; }
    size_t GetCount() const { return m_resources.size(); }

    // False, and the resource deleted, when the name is taken.
    bool Insert(const std::string& name, std::unique_ptr<CVeyResource> resource)
    {
        return resource && m_resources.emplace(name, std::move(resource)).second;
    }
    void DeleteAll() { m_resources.clear(); }

private:
    std::map<std::string, std::unique_ptr<CVeyResource>> m_resources;
};
