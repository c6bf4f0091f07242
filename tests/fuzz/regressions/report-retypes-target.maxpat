{
	"patcher" : {
		"boxes" : [
			{ "box" : { "id" : "obj-1", "maxclass" : "newobj", "text" : "vst~ SYNTH", "varname" : "synth" } },
			{ "box" : { "id" : "obj-2", "maxclass" : "newobj", "text" : "qzkorvel synth" } },
			{ "box" : { "id" : "obj-3", "maxclass" : "newobj", "text" : "route pluginname" } },
			{ "box" : { "id" : "obj-4", "maxclass" : "message", "text" : "retype synth" } },
			{ "box" : { "id" : "obj-5", "maxclass" : "newobj", "text" : "fuzzscript" } }
		],
		"lines" : [
			{ "patchline" : { "source" : [ "obj-2", 0 ], "destination" : [ "obj-3", 0 ] } },
			{ "patchline" : { "source" : [ "obj-3", 0 ], "destination" : [ "obj-4", 0 ] } },
			{ "patchline" : { "source" : [ "obj-4", 0 ], "destination" : [ "obj-5", 0 ] } }
		]
	},
	"fuzzsteps" : [ "send qzkorvel#1 open 100 200", "pass 2", "send qzkorvel#1 direct_open", "pass 2" ]
}
