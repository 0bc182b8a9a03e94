#include "data/CDataManager.h"

#include "data/CatalogueLoaders.h"
#include "model/CkxFamilyXXX.h"
#include "model/CkxXXX.h"

CDataManager::CDataManager() : CDataManager(KX_KXXXX(), KX_FamilyXXX(), KX_FileShareList()) {}

CDataManager::CDataManager(CkxXXX& context, CkxFamilyXXX& families, CkxDataShareList& shares)
    : m_context(context), m_storage(std::make_unique<CImageStorage>()) {
    kx::AddCatalogueLoaders(m_loaders, context, families, shares);
}

CDataManager::~CDataManager() { Close(); }

void CDataManager::SetConnection(const std::string& server, const std::string& database,
                                 const std::string& user, const std::string& password) {
    m_strServer = server;
    m_strDatabase = database;
    m_strUser = user;
    m_strPassword = password;
}

int CDataManager::Open(int kind) {
    m_strLastError.clear();
    int ok = 0;
    if (kind == KX_DB_SQLITE) {
        ok = m_db.OpenAccess(m_strDatabase);
        if (ok) m_context.SetDatabase_SQLite();
    } else if (kind == KX_DB_POSTGRESQL) {
        ok = m_db.OpenSqlServer(m_strDatabase, m_strServer, m_strUser, m_strPassword);
        if (ok) m_context.SetDatabase_PostgreSQL();
    } else {
        m_strLastError = "unknown database kind " + std::to_string(kind);
        return 0;
    }
    if (!ok) {
        m_strLastError = m_db.GetLastError();
        return 0;
    }
    if (!LoadAll()) {
        m_db.Close();
        return 0;
    }
    return 1;
}

int CDataManager::LoadAll() {
    std::string failed;
    if (m_loaders.Run(m_db, &failed)) return 1;
    m_strLastError = "the catalogue's " + failed + " could not be read";
    const std::string why = m_db.GetLastError();
    if (!why.empty()) m_strLastError += ": " + why;
    return 0;
}

void CDataManager::Close() { m_db.Close(); }
