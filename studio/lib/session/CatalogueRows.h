// The studio's handling of the catalogue's messages as one table: a row per message type says
// which list the entries go to, how a list answer fills it, which changes it takes, which codes
// it tells and to which observer slots. One generic handler reads the row; the few types whose
// messages have another shape (folder deletes, per-file sets, project entries, the server
// record) have handlers of their own on the same row.
#pragma once

#include "session/StudioNotices.h"

class CStudioLink;
class NetMessage;
class NetPacket;
struct CatalogueRow;

// Checks and decodes one message on the dispatch thread and queues its change for the GUI
// thread; a message that does not read is dropped whole.
using CatalogueHandler = void (*)(CStudioLink& link, const CatalogueRow& row, const NetPacket& packet,
                                  const NetMessage* message);

struct CatalogueRow {
    int type = 0;
    StudioSlot slots[2] = {kSlotCount, kSlotCount};
    int slotCount = 0;
    // The codes told for a reload, an added, an updated and a removed entry; 0: nobody is told.
    int reload = 0, added = 0, updated = 0, removed = 0;
    // A list answer adds its entries one by one (told as added; an entry whose id the list
    // holds is replaced) instead of replacing the list.
    bool each = false;
    // Takes added, updated and deleted entries (21..23), and the pushed codes 30..32 as those.
    bool changes = true;
    bool pushed = true;
    // Project entries: every change also tells the file information bar (1035, id 0), whose
    // list of the file's projects would go stale otherwise.
    bool fileDetails = false;
    CatalogueHandler handle = nullptr;
};

// The row of a catalogue message type, or null for a type that is not the catalogue's.
const CatalogueRow* FindCatalogueRow(int type);

// Tells the row's slots the code and id (nothing for code 0), and the file information bar
// when the row asks for it. GUI thread.
void TellRow(CStudioLink& link, const CatalogueRow& row, int code, int id);
