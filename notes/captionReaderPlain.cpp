// SPDX-License-Identifier: MIT
// SPDX-FileCopyrightText: 2026 The Tavlo developers

#include "captionReader.h"

#include "captions.h"
#include "noteListing.h"

namespace notes {

namespace {

class OneAtATimeReader final : public CaptionReader
{
public:
    explicit OneAtATimeReader(const NoteListing &listing)
        : m_listing(listing)
    { }

    std::optional<QString> caption(int index) override
    {
        return readCaption(m_listing.pathAt(index));
    }

private:
    const NoteListing &m_listing;
};

} // namespace

std::unique_ptr<CaptionReader> oneAtATimeReader(const NoteListing &listing)
{
    return std::make_unique<OneAtATimeReader>(listing);
}

} // namespace notes
