{
	"patcher" : {
		"boxes" : [
			{ "box" : { "id" : "obj-1", "maxclass" : "newobj", "text" : "vst~ SYNTH", "varname" : "synth" } },
			{ "box" : { "id" : "obj-2", "maxclass" : "newobj", "text" : "qzkorvel synth" } },
			{ "box" : { "id" : "obj-3", "maxclass" : "newobj", "text" : "route pluginname" } },
			{ "box" : { "id" : "obj-4", "maxclass" : "message", "text" : "direct_open" } },
			{ "box" : { "id" : "obj-5", "maxclass" : "message", "text" : "direct_clear" } }
		],
		"lines" : [
			{ "patchline" : { "source" : [ "obj-2", 0 ], "destination" : [ "obj-3", 0 ] } },
			{ "patchline" : { "source" : [ "obj-3", 0 ], "destination" : [ "obj-5", 0 ] } },
			{ "patchline" : { "source" : [ "obj-3", 0 ], "destination" : [ "obj-4", 0 ] } },
			{ "patchline" : { "source" : [ "obj-4", 0 ], "destination" : [ "obj-2", 0 ] } },
			{ "patchline" : { "source" : [ "obj-5", 0 ], "destination" : [ "obj-2", 0 ] } }
		]
	},
	"fuzzsteps" : [ "pass 20" ]
}
