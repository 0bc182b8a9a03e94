// Creates a new catalogue: the schema of its engine and its first rows, the role "超级管理"
// (power 0x1F07) and the administrator "su". The server itself never creates tables.
#pragma once

#include <string>

class CADODatabase;

namespace kx {

// The schema script of an engine kind (1 PostgreSQL, 2 SQLite); empty for another kind.
const char* CatalogueSchema(int kind);

// A fresh random administrator password (letters and digits, no look-alikes).
std::string GenerateAdminPassword();

// Checks an administrator password: 1..49 GBK bytes, every character with a GBK form.
bool IsValidAdminPassword(const std::string& password, std::string& why);

// On an open, empty database: the schema and the first rows, all in one transaction (nothing
// is left behind on failure; a database that already holds the tables is refused).
int CreateCatalogue(CADODatabase& db, const std::string& adminPassword, std::string& error);

// A new SQLite catalogue file; refuses a path that already exists.
int CreateSqliteCatalogue(const std::string& path, const std::string& adminPassword,
                          std::string& error);

} // namespace kx
