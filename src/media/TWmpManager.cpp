#include "media/TWmpManager.h"

#include "media/MediaFiles.h"
#include "media/TAudioMixer.h"
#include "media/TVoiceItem.h"

namespace zuno {

TDMediaItem* TWmpManager::Add(const std::string& name) {
    std::unique_ptr<TStream> stream = openMediaStream(FFiles, name);
    if (!stream)
        return nullptr;
    // The whole file in memory, as the original library received it.
    auto memory = std::make_unique<TKsMemoryStream>();
    const int64_t size = stream->GetSize();
    memory->SetSize(size);
    stream->SetPosition(0);
    if (size > 0)
        memory->SetSize(stream->Read(memory->Memory(), size));
    return append(std::make_unique<TVoiceItem>(*this, FMixer, openFfmpegDecoder(std::move(memory)),
                                             TVoiceItem::TRules{false, true}));
}

} // namespace zuno
