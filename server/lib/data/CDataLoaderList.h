// The ordered steps of loading the catalogue into memory at start-up. Each step reads one table
// into one in-memory list; services add their own steps or replace one by name, so the order the
// server loads in stays written down in one place.
#pragma once

#include <functional>
#include <string>
#include <vector>

class CADODatabase;

class CDataLoaderList {
public:
    // A loader returns the number of entries read, or a value below 0 when its table could not
    // be read.
    using Loader = std::function<int(CADODatabase&)>;

    struct Step {
        std::string name;
        Loader load;
        // A failure of a checked step ends the load; an unchecked step's result is ignored.
        bool checked = true;
    };

    // Appends a step; a step with the same name is replaced in place instead.
    void Add(const std::string& name, Loader load, bool checked = true);
    // Inserts a step right after the named one (at the end when that one is missing).
    void InsertAfter(const std::string& after, const std::string& name, Loader load,
                     bool checked = true);
    // Replaces the loader of the named step; 0 when there is no such step.
    int Replace(const std::string& name, Loader load);
    int Remove(const std::string& name);
    void Clear() { m_steps.clear(); }

    std::vector<std::string> Names() const;
    int GetCount() const { return static_cast<int>(m_steps.size()); }

    // Runs every step in order. 1 when all checked steps succeeded; else 0 at the first failed
    // checked step, whose name is left in `failed`.
    int Run(CADODatabase& db, std::string* failed = nullptr) const;

private:
    std::vector<Step>::iterator FindStep(const std::string& name);

    std::vector<Step> m_steps;
};
