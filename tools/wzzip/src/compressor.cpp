#include "compressor.h"

#include <zlib.h>

#include <algorithm>
#include <atomic>
#include <new>

namespace wz {

namespace {
constexpr uint64_t kDictionarySize = 32 * 1024;
std::atomic<BlockHook> block_hook{nullptr};
}  // namespace

void set_block_hook(BlockHook hook) { block_hook = hook; }

struct Deflater::State {
    z_stream z{};
};

Deflater::Deflater(int level) : state_(std::make_unique<State>()), level_(level) {
    if (deflateInit2(&state_->z, level, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY) != Z_OK)
        throw std::bad_alloc();
}

Deflater::~Deflater() { deflateEnd(&state_->z); }

void Deflater::compress(std::span<const uint8_t> dictionary, std::span<const uint8_t> data, bool last, Bytes& out) {
    z_stream& z = state_->z;
    deflateReset(&z);
    if (!dictionary.empty()) deflateSetDictionary(&z, dictionary.data(), uInt(dictionary.size()));
    out.resize(deflateBound(&z, uLong(data.size())) + 16);
    z.next_in = const_cast<uint8_t*>(data.data());
    z.avail_in = uInt(data.size());
    size_t produced = 0;
    for (;;) {
        z.next_out = out.data() + produced;
        z.avail_out = uInt(out.size() - produced);
        const int rc = deflate(&z, last ? Z_FINISH : Z_SYNC_FLUSH);
        produced = out.size() - z.avail_out;
        if (rc == Z_STREAM_END || (!last && z.avail_in == 0 && z.avail_out != 0)) break;
        if (rc == Z_STREAM_ERROR) throw std::bad_alloc();
        out.resize(out.size() * 2);
    }
    out.resize(produced);
}

size_t read_fully(fs::InputFile& file, uint64_t offset, std::span<uint8_t> buffer) {
    size_t got = 0;
    while (got < buffer.size()) {
        const size_t n = file.read_at(offset + got, buffer.subspan(got));
        if (n == 0) break;
        got += n;
    }
    return got;
}

void compress_block(BlockJob& job, std::unique_ptr<Deflater>& deflater) {
    try {
        if (const BlockHook hook = block_hook) hook(job);
        const uint64_t dict = job.level > 0 ? std::min(kDictionarySize, job.offset) : 0;
        Bytes input(size_t(dict + job.length));
        if (read_fully(*job.file, job.offset - dict, input) != input.size()) {
            job.error = "it changed size while being read";
            return;
        }
        const auto data = std::span<const uint8_t>(input).subspan(size_t(dict));
        job.crc = uint32_t(crc32_z(0, data.data(), data.size()));
        if (job.level > 0) {
            if (!deflater || deflater->level() != job.level) deflater = std::make_unique<Deflater>(job.level);
            deflater->compress(std::span<const uint8_t>(input).first(size_t(dict)), data, job.last, job.out);
        }
        if (job.level == 0 || (job.whole && job.out.size() >= job.length)) {
            job.stored = true;
            input.erase(input.begin(), input.begin() + ptrdiff_t(dict));
            job.out = std::move(input);
        }
    } catch (const fs::Error& e) {
        job.error = e.what();
    } catch (const std::bad_alloc&) {
        job.out_of_memory = true;
    }
}

CompressionPool::CompressionPool(unsigned threads) {
    for (unsigned i = 0; i < std::max(1u, threads); ++i) threads_.emplace_back([this] { work(); });
}

CompressionPool::~CompressionPool() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    queued_.notify_all();
    for (auto& t : threads_) t.join();
}

void CompressionPool::submit(std::shared_ptr<BlockJob> job) {
    {
        std::lock_guard lock(mutex_);
        queue_.push_back(std::move(job));
    }
    queued_.notify_one();
}

void CompressionPool::wait(const BlockJob& job) {
    std::unique_lock lock(mutex_);
    finished_.wait(lock, [&] { return job.done; });
}

void CompressionPool::work() {
    std::unique_ptr<Deflater> deflater;
    for (;;) {
        std::shared_ptr<BlockJob> job;
        {
            std::unique_lock lock(mutex_);
            queued_.wait(lock, [&] { return stopping_ || !queue_.empty(); });
            if (queue_.empty()) return;
            job = std::move(queue_.front());
            queue_.pop_front();
        }
        compress_block(*job, deflater);
        {
            std::lock_guard lock(mutex_);
            job->done = true;
        }
        finished_.notify_all();
    }
}

}  // namespace wz
