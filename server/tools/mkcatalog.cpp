// varnia-mkcatalog: creates a new, empty catalogue (a SQLite file or the tables of a
// PostgreSQL database) with the administrator role and the account "su".
#include "db/AdoDatabase.h"
#include "db/CatalogueMaker.h"
#include "log/ServerLog.h"

#include <cstdio>
#include <cstring>
#include <string>

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: varnia-mkcatalog --sqlite FILE [--password TEXT]\n"
                 "       varnia-mkcatalog --postgres \"host=... dbname=... user=... password=...\""
                 " [--password TEXT]\n"
                 "Creates a new catalogue with the administrator \"su\". Without --password a\n"
                 "password is generated and printed once.\n");
}

} // namespace

int main(int argc, char** argv) {
    std::string sqlite, postgres, password;
    bool havePassword = false;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--sqlite") && hasValue) {
            sqlite = argv[++i];
        } else if (!std::strcmp(argv[i], "--postgres") && hasValue) {
            postgres = argv[++i];
        } else if (!std::strcmp(argv[i], "--password") && hasValue) {
            password = argv[++i];
            havePassword = true;
        } else {
            Usage();
            return 2;
        }
    }
    if (sqlite.empty() == postgres.empty()) {
        Usage();
        return 2;
    }
    if (!havePassword) password = kx::GenerateAdminPassword();
    kx::SetServerLogSink([](kx::ServerLogLevel, const std::string&) {}); // errors are printed below

    std::string error;
    int ok = 0;
    if (!sqlite.empty()) {
        ok = kx::CreateSqliteCatalogue(sqlite, password, error);
    } else {
        CADODatabase db;
        ok = db.Connect(postgres, "", "");
        if (!ok)
            error = db.GetLastError();
        else
            ok = kx::CreateCatalogue(db, password, error);
    }
    if (!ok) {
        std::fprintf(stderr, "varnia-mkcatalog: %s\n", error.c_str());
        return 1;
    }
    std::printf("Catalogue created: %s\n", sqlite.empty() ? "PostgreSQL database" : sqlite.c_str());
    std::printf("Administrator: su\n");
    if (!havePassword) std::printf("Password: %s\n", password.c_str());
    return 0;
}
