{
	"patcher" : {
		"boxes" : [
			{ "box" : { "id" : "obj-1", "maxclass" : "newobj", "text" : "vst~ SYNTH", "varname" : "synth" } },
			{ "box" : { "id" : "obj-2", "maxclass" : "newobj", "text" : "qzkorvel synth" } },
			{ "box" : { "id" : "obj-3", "maxclass" : "newobj", "text" : "route willchange" } },
			{ "box" : { "id" : "obj-4", "maxclass" : "message", "text" : "direct_clear" } }
		],
		"lines" : [
			{ "patchline" : { "source" : [ "obj-2", 0 ], "destination" : [ "obj-3", 0 ] } },
			{ "patchline" : { "source" : [ "obj-3", 0 ], "destination" : [ "obj-4", 0 ] } },
			{ "patchline" : { "source" : [ "obj-4", 0 ], "destination" : [ "obj-2", 0 ] } }
		]
	},
	"fuzzsteps" : [ "send qzkorvel#1 open", "pass 2", "unload synth", "pass 3", "load synth SYNTH", "pass 3" ]
}
