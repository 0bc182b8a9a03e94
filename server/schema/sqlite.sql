-- Catalogue schema for the SQLite file. Ids come from the insert itself (never reused:
-- AUTOINCREMENT); dates are ISO text 'YYYY-MM-DD HH:MM:SS'; byte blocks are BLOBs.

-- Operation log
CREATE TABLE VUZO_Log (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Lev INTEGER,
  T_Type INTEGER,
  T_TypeSub INTEGER,
  T_Event TEXT,
  T_Time TIMESTAMP,
  T_DoUser INTEGER
);
CREATE INDEX IX_VUZO_Log_Time ON VUZO_Log (T_Time);

-- Families below the root classes
CREATE TABLE VUZO_Family (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_Lev INTEGER,
  T_ParentID INTEGER,
  T_DataFormat INTEGER,
  T_DataState INTEGER,
  T_CreatorID INTEGER,
  T_CreateTime TIMESTAMP,
  T_Remark TEXT
);

-- Attribute definitions of families, with their constants
CREATE TABLE VUZO_FamilyAttr (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_FamilyID INTEGER,
  T_DataFormat INTEGER,
  T_DataType INTEGER,
  T_EditWay INTEGER,
  T_Remark TEXT,
  T_Constant BLOB
);
CREATE INDEX IX_VUZO_FamilyAttr_FamilyID ON VUZO_FamilyAttr (T_FamilyID);

-- File templates (attribute values preset per family)
CREATE TABLE VUZO_FileTemplet (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_DataMode INTEGER,
  T_FamilyID INTEGER,
  T_CreatorID INTEGER,
  T_AttrValue BLOB,
  T_Remark TEXT
);

-- Keywords
CREATE TABLE VUZO_Keyword (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_GroupID INTEGER,
  T_Name TEXT,
  T_Remark TEXT
);

-- Keyword groups
CREATE TABLE VUZO_KeywordGroup (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_Remark TEXT
);

-- Keywords of files
CREATE TABLE VUZO_KeywordLink (
  T_FileID INTEGER,
  T_KeyID INTEGER
);
CREATE INDEX IX_VUZO_KeywordLink_FileID ON VUZO_KeywordLink (T_FileID);
CREATE INDEX IX_VUZO_KeywordLink_KeyID ON VUZO_KeywordLink (T_KeyID);

-- Keyword templates
CREATE TABLE VUZO_KeywordTemplet (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_Remark TEXT,
  T_KeywordList BLOB
);

-- Saved searches of each user
CREATE TABLE VUZO_QueryTemplet (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_DataMode INTEGER,
  T_CreatorID INTEGER,
  T_CreateTime TIMESTAMP,
  T_OperandValue BLOB,
  T_Remark TEXT
);
CREATE INDEX IX_VUZO_QueryTemplet_CreatorID ON VUZO_QueryTemplet (T_CreatorID);

-- User accounts
CREATE TABLE VUZO_User (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Logon TEXT,
  T_User TEXT,
  T_Password TEXT,
  T_State INTEGER,
  T_Role INTEGER,
  T_Dept TEXT,
  T_Job TEXT,
  T_Tel TEXT,
  T_Mobile TEXT,
  T_EMail TEXT,
  T_Remark TEXT
);

-- User groups with their member lists
CREATE TABLE VUZO_UserGroup (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_Remark TEXT,
  T_UserList BLOB
);

-- User roles and their powers
CREATE TABLE VUZO_UserRole (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_IsSystem INTEGER,
  T_Type INTEGER,
  T_Power INTEGER,
  T_Remark TEXT
);

-- Named power presets for files
CREATE TABLE VUZO_FileRole (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_IsSystem INTEGER,
  T_Power INTEGER,
  T_Remark TEXT
);

-- Named power presets for folders
CREATE TABLE VUZO_FolderRole (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_IsSystem INTEGER,
  T_Power INTEGER,
  T_Remark TEXT
);

-- Persons named in file data
CREATE TABLE VUZO_Person (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_Type INTEGER,
  T_Job INTEGER,
  T_Remark TEXT
);

-- Folder tree with each folder's rights
CREATE TABLE VUZO_Dir (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_Lev INTEGER,
  T_ParentID INTEGER,
  T_Type INTEGER,
  T_State INTEGER,
  T_CreatorID INTEGER,
  T_Remark TEXT,
  T_UserPower BLOB
);

-- Files shown in further folders
CREATE TABLE VUZO_QuickKey (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_DirID INTEGER,
  T_FileID INTEGER,
  T_DataFormat INTEGER,
  T_DataModal INTEGER,
  T_DataState INTEGER
);
CREATE INDEX IX_VUZO_QuickKey_DirID ON VUZO_QuickKey (T_DirID);
CREATE INDEX IX_VUZO_QuickKey_FileID ON VUZO_QuickKey (T_FileID);

-- Files offered to users
CREATE TABLE VUZO_FileShare (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_UserID INTEGER,
  T_DataFormat INTEGER,
  T_FileID INTEGER,
  T_Name TEXT
);

-- Bookmarks of each user
CREATE TABLE VUZO_FileTag (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_UserID INTEGER,
  T_DataFormat INTEGER,
  T_FileID INTEGER,
  T_Name TEXT
);
CREATE INDEX IX_VUZO_FileTag_UserID ON VUZO_FileTag (T_UserID);

-- Project tree
CREATE TABLE VUZO_Project (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_Name TEXT,
  T_Lev INTEGER,
  T_ParentID INTEGER,
  T_Type INTEGER,
  T_State INTEGER,
  T_CreatorID INTEGER,
  T_CoworkerID INTEGER,
  T_CreateTime TIMESTAMP,
  T_EndTime TIMESTAMP,
  T_Describe TEXT,
  T_Remark TEXT,
  T_UserList BLOB
);

-- Files of projects
CREATE TABLE VUZO_ProjectFile (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_ProjectID INTEGER,
  T_FileID INTEGER,
  T_DataFormat INTEGER,
  T_CreatorID INTEGER,
  T_CreateTime TIMESTAMP,
  T_Alias TEXT,
  T_Remark TEXT
);
CREATE INDEX IX_VUZO_ProjectFile_ProjectID ON VUZO_ProjectFile (T_ProjectID);
CREATE INDEX IX_VUZO_ProjectFile_FileID ON VUZO_ProjectFile (T_FileID);

-- Stored files (image storage)
CREATE TABLE VUZO_FImage (
  T_ID INTEGER PRIMARY KEY AUTOINCREMENT,
  T_FamilyID INTEGER,
  T_FileType INTEGER,
  T_CodeForm INTEGER,
  T_ProgStct INTEGER,
  T_FileVers INTEGER,
  T_IsEntity INTEGER,
  T_Title TEXT,
  T_Sufix TEXT,
  T_Width INTEGER,
  T_Height INTEGER,
  T_FileSize INTEGER,
  T_LocStgID INTEGER,
  T_LocDirID INTEGER,
  T_LocalPath TEXT,
  T_AuthorID INTEGER,
  T_WriterID INTEGER,
  T_EditorID INTEGER,
  T_AuthTime TIMESTAMP,
  T_WriteTime TIMESTAMP,
  T_EditTime TIMESTAMP,
  T_Deleted INTEGER,
  T_DeleterID INTEGER,
  T_DeleteTime TIMESTAMP,
  T_Checkouted INTEGER,
  T_CheckoutorID INTEGER,
  T_CheckoutTime TIMESTAMP,
  T_CheckinTime TIMESTAMP,
  T_AuthAddr TEXT,
  T_Remark TEXT,
  T_ExattrValue BLOB,
  T_UserPower BLOB
);
CREATE INDEX IX_VUZO_FImage_LocDirID ON VUZO_FImage (T_LocDirID);
CREATE INDEX IX_VUZO_FImage_FamilyID ON VUZO_FImage (T_FamilyID);
CREATE INDEX IX_VUZO_FImage_Deleted_DeleterID ON VUZO_FImage (T_Deleted, T_DeleterID);
CREATE INDEX IX_VUZO_FImage_WriteTime ON VUZO_FImage (T_WriteTime);
CREATE INDEX IX_VUZO_FImage_Checkouted ON VUZO_FImage (T_Checkouted);
CREATE INDEX IX_VUZO_FImage_Family_Order ON VUZO_FImage (T_FamilyID, T_Deleted, T_WriteTime);
CREATE INDEX IX_VUZO_FImage_Folder_Order ON VUZO_FImage (T_LocDirID, T_Deleted, T_WriteTime);
