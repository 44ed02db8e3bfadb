#include "ScanResultList.h"

void ScanResultList::clearMatchedFlags() {
    for (ScanEntry& e : m_entries) e.setMatched(false);
}
