#include "ClaimedDevice.h"

#include "Framing.h"

#include <chrono>

namespace qmx::link {

namespace {
// Short read time-out, so that a stop request is seen quickly.
constexpr std::chrono::milliseconds kReadTimeout{20};
} // namespace

ClaimedDevice::ClaimedDevice(HidDeviceInfo info, OpenResult opened)
    : m_info(std::move(info)), m_openError(std::move(opened.error)), m_device(std::move(opened.device))
{
    if (m_device) {
        m_inputLength = m_device->inputReportLength();
        m_outputLength = m_device->outputReportLength();
    }
}

ClaimedDevice::~ClaimedDevice()
{
    release();
}

std::size_t ClaimedDevice::inputReportLength() const
{
    return m_inputLength;
}

std::size_t ClaimedDevice::outputReportLength() const
{
    return m_outputLength;
}

bool ClaimedDevice::write(std::span<const std::uint8_t> payload)
{
    std::lock_guard lock(m_writeMutex);
    if (!m_device || m_released.load()) {
        return false;
    }
    const auto report = buildOutputReport(payload, m_outputLength);
    if (!report) {
        return false;
    }
    return m_device->write(*report);
}

void ClaimedDevice::attach(ReportHandler handler, FailureHandler onFailure)
{
    detach();
    if (!m_device || m_released.load()) {
        return;
    }
    m_reader = std::jthread([this, h = std::move(handler), f = std::move(onFailure)](std::stop_token st) {
        readLoop(st, h, f);
    });
}

void ClaimedDevice::detach()
{
    if (m_reader.joinable()) {
        m_reader.request_stop();
        m_reader.join();
    }
}

void ClaimedDevice::release()
{
    detach();
    std::lock_guard lock(m_writeMutex); // waits for a write in flight
    m_released.store(true);
    m_device.reset();
}

void ClaimedDevice::readLoop(std::stop_token stop, ReportHandler handler, FailureHandler onFailure)
{
    std::vector<std::uint8_t> buffer(std::max<std::size_t>(m_inputLength, 2) + 1);
    while (!stop.stop_requested()) {
        const int n = m_device->read(buffer, kReadTimeout);
        if (n < 0) {
            // The device failed or went away: the link hears of it at once, whether or not a
            // device-change notice follows.
            m_failed.store(true);
            if (onFailure) {
                onFailure();
            }
            return;
        }
        if (n == 0) {
            continue;
        }
        const auto count = static_cast<std::size_t>(n);
        std::vector<std::uint8_t> payload(buffer.begin() + 1, buffer.begin() + static_cast<std::ptrdiff_t>(count));
        handler(buffer[0], std::move(payload));
    }
}

} // namespace qmx::link
