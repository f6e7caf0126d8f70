/* Records what a JACK client plays: connects the output ports of CLIENT whose
 * names contain MATCH (two, in order) to its own two inputs, starts the
 * transport at frame 0 and writes FRAMES frames from transport frame 0 on as
 * a 32-bit float stereo WAV file. Exits 1 when the ports never appear or the
 * transport does not roll within the time allowed.
 * Usage: jack-capture CLIENT MATCH FRAMES OUT.wav */
#include <jack/jack.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

static jack_port_t* inputs[2];
static float* recorded;
static volatile jack_nframes_t wanted, filled;

static int process(jack_nframes_t frames, void* arg) {
    jack_client_t* client = arg;
    jack_position_t pos;
    if (jack_transport_query(client, &pos) != JackTransportRolling) return 0;
    const float* in[2] = {jack_port_get_buffer(inputs[0], frames), jack_port_get_buffer(inputs[1], frames)};
    /* The block holds transport frames pos.frame .. pos.frame + frames - 1. */
    for (jack_nframes_t i = 0; i < frames; i++) {
        const jack_nframes_t at = pos.frame + i;
        if (at >= wanted) break;
        recorded[2 * at] = in[0][i];
        recorded[2 * at + 1] = in[1][i];
        if (at + 1 > filled) filled = at + 1;
    }
    return 0;
}

static void put32(FILE* f, uint32_t v) { fwrite(&v, 4, 1, f); }
static void put16(FILE* f, uint16_t v) { fwrite(&v, 2, 1, f); }

static int writeWave(const char* path, jack_nframes_t frames, uint32_t rate) {
    FILE* f = fopen(path, "wb");
    if (!f) return 1;
    const uint32_t data = frames * 2 * 4;
    fwrite("RIFF", 1, 4, f);
    put32(f, 36 + data);
    fwrite("WAVEfmt ", 1, 8, f);
    put32(f, 16);
    put16(f, 3);
    put16(f, 2);
    put32(f, rate);
    put32(f, rate * 8);
    put16(f, 8);
    put16(f, 32);
    fwrite("data", 1, 4, f);
    put32(f, data);
    fwrite(recorded, 4, (size_t)frames * 2, f);
    return fclose(f) != 0;
}

/* The first two output ports of `client` whose names hold `match`. */
static int findSources(jack_client_t* self, const char* client, const char* match, char sources[2][256]) {
    char pattern[300];
    snprintf(pattern, sizeof pattern, "^%s:.*%s", client, match);
    const char** ports = jack_get_ports(self, pattern, JACK_DEFAULT_AUDIO_TYPE, JackPortIsOutput);
    int n = 0;
    for (; ports && ports[n] && n < 2; n++) snprintf(sources[n], 256, "%s", ports[n]);
    if (ports) jack_free(ports);
    return n;
}

int main(int argc, char** argv) {
    if (argc != 5) {
        fprintf(stderr, "usage: %s CLIENT MATCH FRAMES OUT.wav\n", argv[0]);
        return 2;
    }
    setvbuf(stdout, NULL, _IONBF, 0);
    wanted = (jack_nframes_t)strtoul(argv[3], NULL, 10);
    recorded = calloc((size_t)wanted * 2, sizeof(float));
    jack_client_t* client = jack_client_open("kz318-capture", JackNoStartServer, NULL);
    if (!client || !recorded) {
        fprintf(stderr, "jack-capture: no JACK server\n");
        return 1;
    }
    inputs[0] = jack_port_register(client, "in_1", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    inputs[1] = jack_port_register(client, "in_2", JACK_DEFAULT_AUDIO_TYPE, JackPortIsInput, 0);
    jack_set_process_callback(client, process, client);
    jack_transport_stop(client);
    if (jack_activate(client) != 0) return 1;
    /* The host may register its ports before its session is open, and drop
     * and register them again while it opens it: connect once they hold. */
    char sources[2][256];
    int connected = 0;
    for (int tries = 0; connected < 2; tries++) {
        if (tries > 300) {
            fprintf(stderr, "jack-capture: no two output ports of %s matching %s to connect; there are:\n", argv[1],
                    argv[2]);
            const char** all = jack_get_ports(client, NULL, NULL, 0);
            for (int i = 0; all && all[i]; i++) fprintf(stderr, "  %s\n", all[i]);
            return 1;
        }
        usleep(100000);
        if (findSources(client, argv[1], argv[2], sources) < 2) continue;
        usleep(500000);
        for (connected = 0; connected < 2; connected++)
            if (jack_connect(client, sources[connected], jack_port_name(inputs[connected])) != 0) break;
    }
    for (int c = 0; c < 2; c++) printf("jack-capture: %s -> %s\n", sources[c], jack_port_name(inputs[c]));
    /* Let the host settle on its session before it rolls. */
    sleep(2);
    jack_transport_locate(client, 0);
    sleep(1);
    jack_transport_start(client);
    const uint32_t rate = jack_get_sample_rate(client);
    for (int tries = 0; filled < wanted; tries++) {
        if (tries > 100 + (int)(wanted / rate) * 40) {
            fprintf(stderr, "jack-capture: recorded only %u of %u frames\n", (unsigned)filled, (unsigned)wanted);
            return 1;
        }
        usleep(50000);
    }
    jack_transport_stop(client);
    jack_deactivate(client);
    jack_client_close(client);
    return writeWave(argv[4], wanted, rate);
}
