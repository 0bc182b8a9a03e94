// Projects: nodes of a levelled tree of work items with a state, a creator, a coworker, two
// dates, a description and a member list of users and groups; with the project list and its
// helpers over plain lists of projects.
#pragma once

#include "model/CkxBuf.h"
#include "model/CkxNode.h"
#include "model/CkxUserX.h"
#include "model/KxExport.h"
#include "base/OleDate.h"
#include "base/Record.h"
#include "base/RecordList.h"

#include <cstdint>
#include <string>
#include <vector>

class KX_EXPORT CkxProject : public CkxNode {
public:
#pragma pack(push, 1)
    struct _COM {
        _COM_NODE node; // the node's own record, class marker word first
        uint8_t nState;
        uint8_t reserved1[3];
        int32_t nCreatorID;
        int32_t nCoworkerID;
        DATE dtCreate;
        DATE dtEnd;
        char szDescribe[50];
        uint8_t reserved2[2];
        uint8_t padding[4];
    };
#pragma pack(pop)

    enum { STATE_START = 1, STATE_PROCESS = 2, STATE_END = 3 };

    CkxProject() = default;
    explicit CkxProject(const _COM& c) { SetComData(c); }
    CkxProject(const CkxProject&) = default;
    CkxProject& operator=(const CkxProject&) = default;
    // Reads the record; the member list stays as it was.
    CkxProject& operator=(const _COM& c) {
        SetComData(c);
        return *this;
    }

    _COM GetComData() const;
    void SetComData(const _COM& c);

    bool IsStateStart() const { return m_nState == STATE_START; }
    bool IsStateProcess() const { return m_nState == STATE_PROCESS; }
    bool IsStateEnd() const { return m_nState == STATE_END; }

    // The members as 12-byte entries back to back; returns the length (0 for no members).
    int BuildUserBuf(CkxBuf& buf) const { return m_UserList.BuildBuf(buf); }
    // Replaces the members with the entries of such a buffer; returns how many were read.
    int PasyUserBuf(const unsigned char* data, int length) {
        m_UserList.DeleteAll();
        return m_UserList.PasyBuf(data, length);
    }

    uint8_t m_nState = 0;
    int32_t m_nCreatorID = 0;
    int32_t m_nCoworkerID = 0;
    COleDateTime m_dtCreate;
    COleDateTime m_dtEnd;
    std::string m_strDescribe;
    CkxUserXList m_UserList;
};

KX_RECORD_SIZE(CkxProject::_COM, 208);
KX_FIELD_AT(CkxProject::_COM, node, 0);
KX_FIELD_AT(CkxProject::_COM, nState, 124);
KX_FIELD_AT(CkxProject::_COM, nCreatorID, 128);
KX_FIELD_AT(CkxProject::_COM, nCoworkerID, 132);
KX_FIELD_AT(CkxProject::_COM, dtCreate, 136);
KX_FIELD_AT(CkxProject::_COM, dtEnd, 144);
KX_FIELD_AT(CkxProject::_COM, szDescribe, 152);
KX_FIELD_AT(CkxProject::_COM, padding, 204);

class KX_EXPORT CkxProjectList : public CkxRecordList<CkxProject, kx::DeleteMode::EveryMatch> {
public:
    using Projects = std::vector<CkxProject*>;

    // 1 when a project with the same id (with that id) is in the list; 0 for a null project.
    static int IsAtList(const Projects& list, const CkxProject* project);
    static int IsAtList(const Projects& list, int id);
    // The smallest level in the list; -1 for an empty list.
    static int GetMinLevNo(const Projects& list);
    // The first project at the smallest level whose parent is not in the list: the root from
    // which a subset of the tree is drawn. Null when there is none.
    static CkxProject* FindFirstNode(const Projects& list);
};
