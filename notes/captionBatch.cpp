// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "captionBatch.h"

#include "captionReader.h"

namespace notes {

CaptionBatch::CaptionBatch(const NoteListing &listing, Reading reading)
{
#if TAVLO_URING
    if (reading == Reading::ManyAtATime)
        m_reader = ringReader(listing);
#else
    Q_UNUSED(reading)
#endif
    if (!m_reader)
        m_reader = oneAtATimeReader(listing);
}

CaptionBatch::~CaptionBatch() = default;

std::optional<QString> CaptionBatch::next()
{
    return m_reader->caption(m_next++);
}

void CaptionBatch::discardReadAhead()
{
    m_reader->discardReadAhead();
}

bool CaptionBatch::isBatched() const
{
    return m_reader->isBatched();
}

} // namespace notes
