// What a document asks of the view that shows its files (the file browser): rows follow the
// file set, the caption follows the query, and the selection is read through it. The loader of a
// local document waits until the view reports itself ready. Every call comes on the GUI thread;
// the defaults do nothing, so a document without a view loses nothing.
#pragma once

#include <string>
#include <vector>

class CkxFile;

class CvDocBrowser {
public:
    virtual ~CvDocBrowser() = default;
    virtual void OnFileInserted(CkxFile* /*file*/) {}
    virtual void OnFilesRemoved(const std::vector<int>& /*fileIds*/) {}
    virtual void OnAllFilesRemoved() {}
    virtual void OnFileUpdated(int /*fileId*/) {}
    virtual void OnCaptionChanged(const std::string& /*caption*/) {}
    // Shows the file again when it is the selected one.
    virtual void RefreshSelectedFile(int /*fileId*/) {}
    // The list's automatic arrangement, off while a batch of rows comes in.
    virtual void SetAutoArrange(bool /*on*/) {}
    virtual int GetSelectedCount() const { return 0; }
    virtual int GetSelectedItem() const { return -1; }
    virtual int GetItemFileID(int /*item*/) const { return -1; }
    virtual void SelectAllItems() {}
};
