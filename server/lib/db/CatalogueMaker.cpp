#include "db/CatalogueMaker.h"

#include "db/AdoDatabase.h"
#include "generated/CatalogueSchema.h"
#include "base/Gbk.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <random>

namespace kx {

const char* CatalogueSchema(int kind) {
    if (kind == KX_DB_POSTGRESQL) return kCatalogueSchemaPostgres;
    if (kind == KX_DB_SQLITE) return kCatalogueSchemaSqlite;
    return "";
}

std::string GenerateAdminPassword() {
    static const char alphabet[] = "ABCDEFGHJKLMNPQRSTUVWXYZabcdefghijkmnpqrstuvwxyz23456789";
    std::random_device rd; // the system's entropy source
    std::uniform_int_distribution<size_t> pick(0, sizeof alphabet - 2);
    std::string out;
    for (int i = 0; i < 14; ++i) out += alphabet[pick(rd)];
    return out;
}

bool IsValidAdminPassword(const std::string& password, std::string& why) {
    if (password.empty()) {
        why = "the password is empty";
        return false;
    }
    if (!HasGbkForm(password)) {
        why = "the password holds a character that cannot be stored";
        return false;
    }
    if (GbkLength(password) > 49) {
        why = "the password is longer than 49 bytes";
        return false;
    }
    return true;
}

int CreateCatalogue(CADODatabase& db, const std::string& adminPassword, std::string& error) {
    if (!IsValidAdminPassword(adminPassword, error)) return 0;
    const char* schema = CatalogueSchema(db.GetDatabaseKind());
    if (!*schema || !db.IsOpen()) {
        error = "the database is not open";
        return 0;
    }
    CADOTransaction tx(db);
    if (!tx.IsActive() || !db.ExecuteScript(schema)) {
        error = "cannot create the tables: " + db.GetLastError();
        return 0;
    }
    CADOFieldList role;
    role.AddText("T_Name", "超级管理");
    role.AddInt("T_IsSystem", 1);
    role.AddInt("T_Type", 1);
    role.AddInt("T_Power", 0x1F07);
    role.AddText("T_Remark", "");
    const int roleId = db.Insert("VUZO_UserRole", role);
    if (roleId <= 0 || roleId > 255) { // the user record keeps its role in one byte
        error = "cannot add the administrator role: " + db.GetLastError();
        return 0;
    }
    CADOFieldList su;
    su.AddText("T_Logon", "su");
    su.AddText("T_User", "su");
    su.AddText("T_Password", adminPassword);
    su.AddInt("T_State", 1);
    su.AddInt("T_Role", roleId);
    for (const char* col : {"T_Dept", "T_Job", "T_Tel", "T_Mobile", "T_EMail", "T_Remark"})
        su.AddText(col, "");
    if (db.Insert("VUZO_User", su) <= 0 || !tx.Commit()) {
        error = "cannot add the administrator: " + db.GetLastError();
        return 0;
    }
    // The planner's statistics from the start, so the list queries use their indexes.
    db.GatherStatistics(false);
    return 1;
}

int CreateSqliteCatalogue(const std::string& path, const std::string& adminPassword,
                          std::string& error) {
    std::error_code ec;
    if (std::filesystem::exists(path, ec) || ec) {
        error = "the file already exists: " + path;
        return 0;
    }
    if (!IsValidAdminPassword(adminPassword, error)) return 0;
    // The catalogue holds every password: it is made readable by its owner only before the
    // first byte goes in (the database's journal files take the same mode).
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        error = "cannot create the file " + path + ": " + std::strerror(errno);
        return 0;
    }
    ::fchmod(fd, 0600); // whatever the umask took away, nothing more is granted
    ::close(fd);
    sqlite3* raw = nullptr;
    const int rc = sqlite3_open_v2(path.c_str(), &raw,
                                   SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    sqlite3_close(raw);
    if (rc != SQLITE_OK) {
        error = "cannot create the file " + path + ": " + sqlite3_errstr(rc);
        return 0;
    }
    CADODatabase db;
    int ok = db.OpenAccess(path);
    if (!ok)
        error = db.GetLastError();
    else
        ok = CreateCatalogue(db, adminPassword, error);
    db.Close();
    if (!ok) std::filesystem::remove(path, ec);
    return ok;
}

} // namespace kx
