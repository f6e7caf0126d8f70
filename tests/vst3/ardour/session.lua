-- Runs inside ardour7-lua (headless, dummy audio backend).
--   session.lua create DIR NAME PLUGIN-UID NOTES-FILE RANGE-NAME
--     new 44.1 kHz session, one MIDI track with the VST 3 instrument, its
--     outputs connected to the master bus, a MIDI region with the notes, a
--     range marker over the region
--   session.lua reopen DIR NAME PLUGIN-UID NOTES-FILE
--     loads the saved session (with the kit the test put into its state),
--     checks track, instrument and notes, saves again
-- Exits non-zero with a message on the first thing that is not as expected.

local TRACK = "kz318"

local function fail(message)
	error("session.lua: " .. message, 0)
end

local function read_notes(path)
	local f = io.open(path) or fail("cannot read " .. path)
	local frames = f:read("n")
	local notes = {}
	while true do
		local tick, length, note, velocity = f:read("n", "n", "n", "n")
		if not tick then break end
		notes[#notes + 1] = { tick = tick, length = length, note = note, velocity = velocity }
	end
	f:close()
	return frames, notes
end

local function instrument_of(route, uid)
	local proc = route:the_instrument()
	if proc:isnil() then fail("track " .. route:name() .. " has no instrument") end
	local plugin = proc:to_insert():plugin(0)
	if plugin:unique_id() ~= uid then fail("the instrument is " .. plugin:unique_id() .. ", not " .. uid) end
	return plugin
end

local function check_notes(region, notes)
	local found = {}
	for n in ARDOUR.LuaAPI.note_list(region:to_midiregion():model()):iter() do
		found[#found + 1] = string.format("%s/%d/%d", n:time():str(), n:note(), n:velocity())
	end
	local wanted = {}
	for _, n in ipairs(notes) do
		wanted[#wanted + 1] = string.format("%s/%d/%d", Temporal.Beats(0, n.tick):str(), n.note, n.velocity)
	end
	table.sort(found)
	table.sort(wanted)
	if table.concat(found, " ") ~= table.concat(wanted, " ") then
		fail("the region holds " .. table.concat(found, " ") .. ", not " .. table.concat(wanted, " "))
	end
end

-- New tracks' outputs are not always saved connected: connect the main
-- output pair to the master bus here.
local function connect_outputs(track)
	local out = track:output()
	local master = Session:master_out():input()
	out:disconnect_all(nil)
	for c = 0, 1 do
		if out:connect(out:audio(c), master:audio(c):name(), nil) ~= 0 then
			fail("cannot connect output " .. c .. " to the master bus")
		end
	end
end

local function start_engine()
	if not AudioEngine:set_backend("None (Dummy)", "", "") then fail("no dummy audio backend") end
end

local function create(dir, name, uid, notes_file, range_name)
	local frames, notes = read_notes(notes_file)
	start_engine()
	if not create_session(dir, name, 44100) then fail("cannot create a session in " .. dir) end
	local info = ARDOUR.LuaAPI.new_plugin_info(uid, ARDOUR.PluginType.VST3)
	if info:isnil() then fail("Ardour does not know the VST 3 plug-in " .. uid .. " (VST3_PATH, scanner cache?)") end
	local tracks = Session:new_midi_track(ARDOUR.ChanCount(ARDOUR.DataType("midi"), 1),
		ARDOUR.ChanCount(ARDOUR.DataType("audio"), 2), true, info, nil, nil, 1, TRACK,
		ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true)
	if tracks:size() ~= 1 then fail("no MIDI track was made") end
	local track = tracks:front()
	instrument_of(track, uid)
	connect_outputs(track)

	-- Lua has no call that makes a new MIDI source; bouncing the empty track
	-- through no processor does, and gives a region of the wanted length.
	local itt = ARDOUR.InterThreadInfo()
	local region = track:bounce_range(0, frames, itt, ARDOUR.LuaAPI.nil_proc(), false, "kz318-notes", false)
	if region:isnil() or region:to_midiregion():isnil() then fail("the bounce gave no MIDI region") end
	local model = region:to_midiregion():model()
	local diff = model:new_note_diff_command("kz318 notes")
	for _, n in ipairs(notes) do
		diff:add(ARDOUR.LuaAPI.new_noteptr(0, Temporal.Beats(0, n.tick), Temporal.Beats(0, n.length), n.note, n.velocity))
	end
	model:apply_command(Session, diff)
	track:playlist():add_region(region, Temporal.timepos_t(0), 1, false)
	check_notes(region, notes)

	local range = Session:locations():add_range(Temporal.timepos_t(0), Temporal.timepos_t(frames))
	range:set_name(range_name)
	if Session:save_state("", false, false, false, false, false) ~= 0 then fail("saving failed") end
	close_session()
end

local function reopen(dir, name, uid, notes_file)
	local _, notes = read_notes(notes_file)
	start_engine()
	if not load_session(dir, name) then fail("cannot load the session " .. name .. " in " .. dir) end
	local route = Session:route_by_name(TRACK)
	if route:isnil() then fail("no track " .. TRACK .. " after loading") end
	instrument_of(route, uid)
	local regions = route:to_track():playlist():region_list()
	if regions:size() ~= 1 then fail(regions:size() .. " regions on the track after loading, not 1") end
	for r in regions:iter() do check_notes(r, notes) end
	if Session:save_state("", false, false, false, false, false) ~= 0 then fail("saving again failed") end
	close_session()
end

local ok, message = pcall(function()
	if arg[1] == "create" and #arg == 6 then
		create(arg[2], arg[3], arg[4], arg[5], arg[6])
	elseif arg[1] == "reopen" and #arg == 5 then
		reopen(arg[2], arg[3], arg[4], arg[5])
	else
		fail("usage: session.lua create DIR NAME UID NOTES RANGE | reopen DIR NAME UID NOTES")
	end
end)
if not ok then
	print(message)
	if Session then close_session() end
	os.exit(1)
end
os.exit(0)
