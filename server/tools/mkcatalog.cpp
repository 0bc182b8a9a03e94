// varnia-mkcatalog: creates a new, empty catalogue (a SQLite file or the tables of a
// PostgreSQL database) with the administrator role and the account "su", and the first storage
// root of a new data folder.
#include "db/AdoDatabase.h"
#include "db/CatalogueMaker.h"
#include "log/ServerLog.h"
#include "storage/CImageStorage.h"
#include "storeadmin/StorageDrives.h"

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>

namespace {

void Usage() {
    std::fprintf(stderr,
                 "usage: varnia-mkcatalog --sqlite FILE [--password TEXT]\n"
                 "       varnia-mkcatalog --postgres \"host=... dbname=... user=... password=...\""
                 " [--password TEXT]\n"
                 "       varnia-mkcatalog --storage-root FOLDER\n"
                 "Creates a new catalogue with the administrator \"su\". Without --password a\n"
                 "password is generated and printed once.\n"
                 "--storage-root creates the server's first storage root (KX_Storage_0) at the\n"
                 "top of FOLDER, its drive C: the data folder when its settings map no drives.\n");
}

// Creates storage root 0 on drive C = folder, as the storage-root dialog does; 1 on success.
int CreateFirstStorageRoot(const std::string& folder, std::string& error) {
    auto drives = std::make_shared<FolderDriveSource>();
    std::error_code ec;
    if (!std::filesystem::is_directory(folder, ec) || !drives->Add('C', folder)) {
        error = "no such folder: " + folder;
        return 0;
    }
    CImageStorage storage(drives);
    if (storage.Prepare(kx::kStorageKindWord)) {
        error = "storage root 0 already exists: " + storage.GetRootPath(0);
        return 0;
    }
    if (!storage.CreateRoot(0, StorageDrive::RootText('C'))) {
        error = "cannot create storage root " + storage.GetRootName(0) + " in " + folder;
        return 0;
    }
    std::printf("Storage root created: %s\n", storage.GetRootPath(0).c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv) {
    std::string sqlite, postgres, password, storageRoot;
    bool havePassword = false;
    for (int i = 1; i < argc; ++i) {
        const bool hasValue = i + 1 < argc;
        if (!std::strcmp(argv[i], "--sqlite") && hasValue) {
            sqlite = argv[++i];
        } else if (!std::strcmp(argv[i], "--postgres") && hasValue) {
            postgres = argv[++i];
        } else if (!std::strcmp(argv[i], "--storage-root") && hasValue) {
            storageRoot = argv[++i];
        } else if (!std::strcmp(argv[i], "--password") && hasValue) {
            password = argv[++i];
            havePassword = true;
        } else {
            Usage();
            return 2;
        }
    }
    // One thing to make: a catalogue file, a catalogue database or a storage root.
    if (!sqlite.empty() + !postgres.empty() + !storageRoot.empty() != 1 || (havePassword && !storageRoot.empty())) {
        Usage();
        return 2;
    }
    if (!storageRoot.empty()) {
        std::string error;
        if (CreateFirstStorageRoot(storageRoot, error)) return 0;
        std::fprintf(stderr, "varnia-mkcatalog: %s\n", error.c_str());
        return 1;
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
