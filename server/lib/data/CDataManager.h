// CDataManager: the server's one data manager, through which request handlers reach the shared
// catalogue connection and the image storage of stored files. It keeps the connection texts,
// opens the connection and loads the catalogue into memory in the order of its loader list
// (services add steps there), and closes the connection at exit. It owns the catalogue lock:
// held alone around every handler that changes something and wherever the catalogue in memory
// (the context object) is changed off the handlers' path, shared by handlers that only read.
// Sends made under it only queue.
#pragma once

#include "db/AdoDatabase.h"
#include "data/CCatalogueMutex.h"
#include "data/CDataLoaderList.h"
#include "storage/CImageStorage.h"

#include <memory>
#include <mutex>
#include <string>

class CkxDataShareList;
class CkxFamilyXXX;
class CkxXXX;

class CDataManager {
public:
    // The loader list starts with the catalogue loaders filling the process's context object,
    // family registry and file-share list.
    CDataManager();
    // The same loaders filling the given context, registry and share list.
    CDataManager(CkxXXX& context, CkxFamilyXXX& families, CkxDataShareList& shares);
    virtual ~CDataManager();
    CDataManager(const CDataManager&) = delete;
    CDataManager& operator=(const CDataManager&) = delete;

    CADODatabase& GetDatabase() { return m_db; }
    // The storage every file request uses.
    CImageStorage& GetImageStorage() { return *m_storage; }
    CDataLoaderList& GetLoaders() { return m_loaders; }
    // The one catalogue lock of the process's catalogue: exclusive for changes, shared for
    // readers; a waiting change goes before readers that come after it.
    CCatalogueMutex& CatalogueMutex() { return m_catalogueMutex; }
    // The lock of the in-memory lists (users, roles, folders, ...) alone: whoever may change
    // them holds it alone inside the catalogue lock (see KxCatalogueWriter), so a reader of those
    // lists alone (the user list, say) shares it and never waits for a change that writes only
    // catalogue rows (an upload's commit).
    CCatalogueMutex& MemoryMutex() { return m_memoryMutex; }

    // Connection texts: server, database (the catalogue file's path for SQLite, the database
    // name for PostgreSQL), user name and password. Empty at construction.
    void SetConnection(const std::string& server, const std::string& database,
                       const std::string& user, const std::string& password);
    const std::string& GetServer() const { return m_strServer; }
    const std::string& GetDatabaseName() const { return m_strDatabase; }

    // Opens the connection of that kind (2 the catalogue file, 1 the catalogue server) with the
    // connection texts, tells the context object the kind, then loads everything. 1 on success;
    // else 0 with the reason in GetLastError() (the connection is closed again after a failed
    // load).
    int Open(int kind);
    // Runs the loader list on the open connection; 1 when every checked step succeeded.
    int LoadAll();
    void Close();
    int IsOpen() { return m_db.IsOpen(); }
    const std::string& GetLastError() const { return m_strLastError; }

private:
    CCatalogueMutex m_catalogueMutex;
    CCatalogueMutex m_memoryMutex;
    CkxXXX& m_context;
    CADODatabase m_db;
    std::unique_ptr<CImageStorage> m_storage;
    CDataLoaderList m_loaders;
    std::string m_strServer;
    std::string m_strDatabase;
    std::string m_strUser;
    std::string m_strPassword;
    std::string m_strLastError;
};

// The locks of a change that may touch the in-memory lists: the catalogue lock held alone, and
// inside it the memory lock held alone (always in that order).
class KxCatalogueWriter {
public:
    explicit KxCatalogueWriter(CDataManager& data) : m_catalogue(data.CatalogueMutex()), m_memory(data.MemoryMutex()) {}
    KxCatalogueWriter(const KxCatalogueWriter&) = delete;
    KxCatalogueWriter& operator=(const KxCatalogueWriter&) = delete;

private:
    std::lock_guard<CCatalogueMutex> m_catalogue;
    std::lock_guard<CCatalogueMutex> m_memory;
};
